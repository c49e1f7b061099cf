#pragma once

#include "Interaction.h"
#include "Profile.h"

#include <QStringList>
#include <QVariant>

#include <functional>

namespace zelmar::test {

using namespace Qt::StringLiterals;

// The private server that scripts/test starts, read from the environment.
struct ServerInfo
{
    QString host = QStringLiteral("127.0.0.1");
    int port = 0;
    QString user;
    QString password;
    bool valid() const { return port > 0; }
    QString serverValue() const { return host + u':' + QString::number(port); }
};

ServerInfo tlsServer();   // offers TLS
ServerInfo plainServer(); // offers no TLS

// A loopback port on which nothing listens.
int deadPort();

// A database of its own for one test, built from the project's schema files
// and dropped again when the object goes.
class TestDatabase
{
public:
    explicit TestDatabase(const QStringList& schemaFiles = {QStringLiteral("customer.sql")},
                          const ServerInfo& server = tlsServer());
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString name() const { return m_name; }
    const ServerInfo& server() const { return m_server; }
    // Profile of the admin account on this database, with an empty driver clause.
    db::Profile profile() const;

    // Runs a statement on this database; values are bound to ? in order.
    bool exec(const QString& sql, const QVariantList& values = {});
    // Every row, each as a list of its columns; `ok` tells whether the statement ran.
    QList<QVariantList> rows(const QString& sql, const QVariantList& values = {}, bool* ok = nullptr);
    // First column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql, const QVariantList& values = {})
    {
        return rows(sql, values).value(0).value(0);
    }
    int count(const QString& table)
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(table)).toInt();
    }

    // Loads a schema file of the project's sql/ folder.
    bool load(const QString& schemaFile);

private:
    ServerInfo m_server;
    QString m_name;
    QString m_connection;
    bool m_ok = false;
    QString m_error;
};

// Answers message boxes the way a test script says and keeps what they said.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        QString kind; // "message", "yesno" or "input"
        QString text;
        QString title;
    };
    void message(const QString& text, const QString& title) override { record(u"message"_s, text, title); }
    bool askYesNo(const QString& text, const QString& title) override
    {
        record(u"yesno"_s, text, title);
        return !yesNoAnswers.isEmpty() && yesNoAnswers.takeFirst();
    }
    QString input(const QString& prompt, const QString& title, const QString&) override
    {
        record(u"input"_s, prompt, title);
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    }

    QList<Shown> shown;
    // Runs while a box is up, after it was recorded: what happens meanwhile.
    std::function<void(const Shown&)> whileShown;
    QList<bool> yesNoAnswers;    // taken from the front; No when empty
    QList<QString> inputAnswers; // taken from the front; Cancel when empty

private:
    void record(const QString& kind, const QString& text, const QString& title)
    {
        shown.append({kind, text, title});
        if (whileShown)
            whileShown(shown.last());
    }
};

class RecordingProgramEnd : public ProgramEnd
{
public:
    void end() override { ++ends; }
    bool hasEnded() const override { return ends > 0; }
    int ends = 0;
};

} // namespace zelmar::test
