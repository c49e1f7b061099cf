#pragma once

#include "Connection.h"

#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace zelmar::db {

// One query of the program: every column of one table, rows chosen by a
// condition whose values are bound.
struct Query
{
    QString table;     // unquoted; the recordset saves and deletes rows of this table
    QString condition; // empty, or " WHERE ..." with ? placeholders
    QVariantList values;
    // Append-only queries return no rows by definition: they are not sent, so
    // an account may append to a table it cannot read, and no round trip is spent.
    bool appendOnly = false;
};

// The four query shapes of the program. Values are bound, table names quoted.
Query wholeTable(const QString& table);
Query onePartNumber(const QString& table, const QString& partNumber);
Query onePortMap(const QString& table, qint16 mapNumber);
Query appendOnly(const QString& table);

// The whole result of one query, fetched at once, with a current row that can
// be read by column name, changed and saved, or deleted. Saves and deletes
// touch exactly the fetched row: by primary key where the table has one,
// otherwise by every fetched value with LIMIT 1.
class Recordset
{
public:
    explicit Recordset(Connection& connection);

    bool open(const Query& query);
    int recordCount() const { return int(m_rows.size()); }

    // Fails on an empty result.
    bool moveFirst();
    void moveNext();
    bool eof() const { return m_current < 0 || m_current >= int(m_rows.size()); }

    // Typed reads of the current row. NULL, an unconvertible value or a value
    // out of range fails and leaves `out` untouched.
    bool readInt16(const QString& column, qint16& out);
    bool readInt32(const QString& column, qint32& out);
    bool readSingle(const QString& column, float& out);
    bool readText(const QString& column, QString& out);

    // Edits of the current row (or of the row begun by addNew) wait for update().
    bool setField(const QString& column, const QVariant& value);
    void addNew();
    // Saves the edits at once; zero rows matched is a failure.
    bool update();
    // Deletes the current row at once; zero rows matched is a failure.
    bool deleteCurrent();

    QString errorText() const { return m_error; }

    // The text of a query, as sent when no column needs exact reading.
    static QString text(const Query& query);

private:
    bool selectList(QString& list);
    struct Row
    {
        QSqlRecord values;
        bool deleted = false;
    };

    const QSqlRecord* currentRecord();
    bool cell(const QString& column, QVariant& value);
    bool readWhole(const QString& column, qint64 low, qint64 high, qint64& out);
    bool fail(const QString& message);
    bool loadPrimaryKey();
    QString whereForRow(const QSqlRecord& row, QVariantList& binds);

    Connection& m_connection;
    Query m_query;
    QSqlRecord m_columns;
    std::vector<Row> m_rows;
    int m_current = -1;
    bool m_adding = false;
    QList<QPair<QString, QVariant>> m_edits;
    std::optional<QStringList> m_primaryKey;
    QString m_error;
};

} // namespace zelmar::db
