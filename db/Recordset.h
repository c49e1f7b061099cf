#pragma once

#include "Connection.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

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
    // Empty: every column. Otherwise only this column, for a read-only walk: such rows
    // lack what would find them again for a save or a delete.
    QString column = QString();
};

// The four query shapes of the program. Values are bound, table names quoted.
Query wholeTable(const QString& table);
Query onePartNumber(const QString& table, const QString& partNumber);
Query onePortMap(const QString& table, qint16 mapNumber);
Query appendOnly(const QString& table);

// Walks of the whole table, filtered on the server. Each returns every row
// that the walk could act on or stop at, and possibly more, in the order of a
// plain table scan (USE INDEX () keeps an index from reordering them); the
// operation still decides row by row as it would over the whole table.
// Rows whose partNUM may equal `partNumber` exactly, and rows where it is NULL:
// the server's comparison (collation, trailing blanks) holds for every pair of
// identical texts, so it is a superset of the exact comparison.
Query partNumberWalk(const QString& table, const QString& partNumber);
// Rows where `column` may not read as 0: all but those holding exactly the text "0".
Query nonZeroWalk(const QString& table, const QString& column);

// The result of one query, with a current row that can be read by column
// name, changed and saved, or deleted. open() fetches the whole result to the
// client, so recordCount() is exact and rows can be saved during a walk;
// openStream() hands the rows over one by one as they arrive (a read-only walk
// of a large table: only a chunk of rows read ahead is kept). Saves and deletes
// touch exactly the fetched row: by primary key where the table has one,
// otherwise by every fetched value with LIMIT 1. Each statement is prepared and
// executed in one exchange with the server; one of the same text again is only
// executed.
class Recordset
{
public:
    explicit Recordset(Connection& connection);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool open(const Query& query);
    bool openStream(const Query& query);
    // -1 for a stream.
    int recordCount() const { return m_count; }

    // Fails on an empty result (and, in a stream, when the rows cannot be read).
    bool moveFirst();
    void moveNext();
    bool eof() const;

    // Typed reads of the current row. NULL, an unconvertible value or a value
    // out of range fails and leaves `out` untouched.
    bool readInt16(const QString& column, qint16& out);
    bool readInt32(const QString& column, qint32& out);
    bool readSingle(const QString& column, float& out);
    bool readText(const QString& column, QString& out);

    // Whether the current row holds exactly what storing `value` in `column` would leave there,
    // bit for bit; false when unsure (storing it then changes nothing worse than before).
    bool holds(const QString& column, const QVariant& value);

    // Edits of the current row (or of the row begun by addNew) wait for update().
    bool setField(const QString& column, const QVariant& value);
    void addNew();
    // Saves the edits at once; zero rows matched is a failure.
    bool update();
    // Deletes the current row at once; zero rows matched is a failure.
    bool deleteCurrent();

    // Several rows at once, each found as update() and deleteCurrent() find it: in one statement
    // where the table has a one-column primary key (which a transactional table stores whole or not
    // at all), otherwise row by row inside one transaction (which a table without transactions
    // does not keep). A row not matched fails the whole call. `row` counts fetched rows from 0.
    using Fields = QList<QPair<QString, QVariant>>;
    struct RowEdits
    {
        int row;
        Fields fields;
    };
    bool updateRows(const QList<RowEdits>& rows);
    bool deleteRows(const QList<int>& rows);
    // New rows, each with the same columns in the same order, in one statement.
    bool appendRows(const QList<Fields>& rows);
    // Runs inside the transaction of a save of several rows, just before its COMMIT, so that what
    // it writes is stored together with those rows or not at all; false rolls the save back.
    // Saves in one statement or of one row run in autocommit and never call it.
    void setBeforeCommit(std::function<bool()> hook) { m_beforeCommit = std::move(hook); }

    QString errorText() const { return m_error; }
    // Lets go of the result and the prepared statements.
    void close();

    // The text of a query as sent.
    static QString text(const Query& query);

private:
    struct Result;
    struct Statement;

    bool start(const Query& query, bool stream);
    bool moveTo(int row);
    // `count` saves one after the other, inside one transaction when there are several.
    bool oneByOne(qsizetype count, const std::function<bool(qsizetype)>& save);
    // Whether storing `value` in `column` needs no conversion that could fail or change it (a text
    // that fits, a whole number in range). Only then do rows stored in one statement fare as rows
    // stored one by one: past the first row, a server may turn such a failure into a warning and
    // store the value changed (a table without transactions, under STRICT_TRANS_TABLES).
    bool fitsAsIs(const QString& column, const QVariant& value) const;
    bool fitAsIs(const QList<Fields>& rows) const;
    // The primary key of each fetched row, for a statement over several rows.
    bool keysOf(const QList<int>& rows, QVariantList& keys);
    bool fetch();
    int columnIndex(const QString& column) const;
    const QVariantList* currentRow();
    bool cell(const QString& column, QVariant& value);
    bool readWhole(const QString& column, qint64 low, qint64 high, qint64& out);
    bool fail(const QString& message);
    QString whereForRow(const QVariantList& row, QVariantList& binds) const;
    // Runs a statement that returns no rows; `affected` gets the rows it matched.
    bool run(const QString& sql, const QVariantList& binds, qint64& affected);

    Connection& m_connection;
    Query m_query;
    Result* m_result = nullptr;
    QStringList m_names;
    QStringList m_primaryKey;
    int m_count = 0;
    int m_current = -1;
    bool m_stream = false;
    bool m_ended = false;
    // The current row as read, and what this recordset has since saved or deleted.
    QVariantList m_row;
    bool m_rowRead = false;
    QHash<int, QVariantList> m_saved;
    QSet<int> m_deleted;
    bool m_adding = false;
    QList<QPair<QString, QVariant>> m_edits;
    QHash<QString, Statement*> m_statements;
    std::function<bool()> m_beforeCommit;
    QString m_error;
};

} // namespace zelmar::db
