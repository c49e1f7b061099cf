#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace zelmar {

// A running copy of the program is found by the title of its main window. On
// this implementation a copy whose main window is shown listens on a per-user
// local socket named after that title; a second start connects to it, asks it
// to come forward and ends.
//
// A scope string keeps separate sets of names apart (tests use their own); the
// program uses the empty scope.
QString runningCopySocketName(const QString& title, const QString& scope = QString());

// The running-copy check: found = 1 when a copy with this window
// title listens (it has then been asked to restore itself if minimised, come to
// the front and take the focus), else 0. Every wait is bounded by waitMs.
class RunningCopies
{
public:
    explicit RunningCopies(const QString& scope = QString(), int waitMs = 300);
    virtual ~RunningCopies() = default;
    virtual void check(const QString& title, qint16& found) const;

private:
    QString m_scope;
    int m_waitMs;
};

// The listening side, started by a copy once its main window is shown. The
// callback runs on the listener's thread for every request to come forward; it
// restores the window if minimised, raises it and activates it.
class RunningCopyListener : public QObject
{
    Q_OBJECT

public:
    explicit RunningCopyListener(const QString& scope = QString(), QObject* parent = nullptr);
    ~RunningCopyListener() override;

    // Starts listening under the title; false when another live copy already
    // listens under it or the socket cannot be made. Listening again replaces
    // the earlier title.
    bool listen(const QString& title, std::function<void()> bringForward);
    void close();

    // The request a second start sends.
    static QByteArray request();

private:
    void acceptConnections();
    QString m_scope;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_bringForward;
};

} // namespace zelmar
