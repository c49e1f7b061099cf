#include "Recordset.h"

#include <errmsg.h>
#include <mysql.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace zelmar::db {

Query wholeTable(const QString& table)
{
    return {table, QString(), {}};
}

Query onePartNumber(const QString& table, const QString& partNumber)
{
    return {table, u" WHERE partNUM=?"_s, {partNumber}};
}

Query onePortMap(const QString& table, qint16 mapNumber)
{
    // The map number goes in as its decimal text, as the column is compared with it.
    return {table, u" WHERE mapPORT=?"_s, {QString::number(mapNumber)}};
}

Query appendOnly(const QString& table)
{
    return {table, u" WHERE 1=0"_s, {}, true};
}

Query partNumberWalk(const QString& table, const QString& partNumber)
{
    return {table, u" USE INDEX () WHERE `partNUM` = ? OR `partNUM` IS NULL"_s, {partNumber}};
}

Query nonZeroWalk(const QString& table, const QString& column)
{
    // The bytes of the value as the server prints it: exactly "0" only for a value that reads as 0
    // (an integer or float zero, or the text "0"); NULL never equals with <=>, so it stays in.
    return {
        table, u" USE INDEX () WHERE NOT (CAST("_s + quoteIdentifier(column) + u" AS BINARY) <=> '0')"_s, {}};
}

QString Recordset::text(const Query& query)
{
    return u"Select * FROM "_s + quoteIdentifier(query.table) + query.condition;
}

namespace {

bool isIntegerType(int type)
{
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isFloatType(int type)
{
    return type == QMetaType::Float || type == QMetaType::Double;
}

// Reads any numeric value or numeric text as a double; fails on NULL and on text that is no number.
bool toDouble(const QVariant& v, double& out)
{
    if (v.isNull())
        return false;
    const int type = v.metaType().id();
    if (isIntegerType(type) || isFloatType(type)) {
        bool ok = false;
        out = v.toDouble(&ok);
        return ok && std::isfinite(out);
    }
    if (type == QMetaType::QString || type == QMetaType::QByteArray) {
        const QString text = v.toString().trimmed();
        bool ok = false;
        out = text.toDouble(&ok);
        return ok && std::isfinite(out);
    }
    return false;
}

bool toWhole(const QVariant& v, qint64 low, qint64 high, qint64& out)
{
    if (v.isNull())
        return false;
    qint64 value = 0;
    if (isIntegerType(v.metaType().id())) {
        bool ok = false;
        value = v.toLongLong(&ok);
        if (!ok)
            return false;
    } else {
        double d = 0;
        if (!toDouble(v, d))
            return false;
        // Whole-number conversion rounds halves to the even neighbour.
        d = std::nearbyint(d);
        if (d < double(low) || d > double(high))
            return false;
        value = qint64(d);
    }
    if (value < low || value > high)
        return false;
    out = value;
    return true;
}

// The driver sends a null QString as SQL NULL; the program's texts are never
// NULL, an empty text is stored as ''.
QVariant storable(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QString && v.toString().isNull())
        return QVariant(QString::fromLatin1("", 0));
    return v;
}

// The values of one execute, bound typed and kept alive until it returns. A float
// goes as the double of the same value, so that the server compares it exactly.
class ParamBinds
{
public:
    explicit ParamBinds(const QVariantList& values)
        : m_binds(size_t(values.size()))
        , m_bytes(size_t(values.size()))
        , m_ints(size_t(values.size()))
        , m_doubles(size_t(values.size()))
        , m_lengths(size_t(values.size()))
    {
        for (size_t i = 0; i < m_binds.size(); ++i) {
            const QVariant& v = values[qsizetype(i)];
            MYSQL_BIND& b = m_binds[i];
            const int type = v.metaType().id();
            if (v.isNull() && type != QMetaType::QString && type != QMetaType::QByteArray) {
                b.buffer_type = MYSQL_TYPE_NULL;
            } else if (isIntegerType(type)) {
                b.buffer_type = MYSQL_TYPE_LONGLONG;
                b.is_unsigned = type == QMetaType::ULongLong || type == QMetaType::ULong;
                m_ints[i] = b.is_unsigned ? qint64(v.toULongLong()) : v.toLongLong();
                b.buffer = &m_ints[i];
            } else if (isFloatType(type)) {
                b.buffer_type = MYSQL_TYPE_DOUBLE;
                m_doubles[i] = type == QMetaType::Float ? double(v.toFloat()) : v.toDouble();
                b.buffer = &m_doubles[i];
            } else {
                b.buffer_type = type == QMetaType::QByteArray ? MYSQL_TYPE_BLOB : MYSQL_TYPE_STRING;
                m_bytes[i] = type == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
                b.buffer = const_cast<char*>(m_bytes[i].constData());
                b.buffer_length = static_cast<unsigned long>(m_bytes[i].size());
                m_lengths[i] = b.buffer_length;
                b.length = &m_lengths[i];
            }
        }
    }
    MYSQL_BIND* data() { return m_binds.empty() ? nullptr : m_binds.data(); }

private:
    std::vector<MYSQL_BIND> m_binds;
    std::vector<QByteArray> m_bytes;
    std::vector<qint64> m_ints;
    std::vector<double> m_doubles;
    std::vector<unsigned long> m_lengths;
};

bool bindAndExecute(MYSQL_STMT* stmt, const QVariantList& values)
{
    ParamBinds binds(values);
    if (mysql_stmt_param_count(stmt) != unsigned(values.size()))
        return false;
    if (!values.isEmpty() && mysql_stmt_bind_param(stmt, binds.data()) != 0)
        return false;
    return mysql_stmt_execute(stmt) == 0;
}

// Prepared in one exchange with the server; none, with `error` set, when that fails.
MYSQL_STMT* prepared(Connection& connection, const QString& sql, QString& error)
{
    MYSQL* mysql = connection.handle();
    MYSQL_STMT* stmt = nullptr;
    connection.exchange([&]() -> unsigned {
        stmt = mysql_stmt_init(mysql);
        if (!stmt) {
            error = QString::fromUtf8(mysql_error(mysql));
            return CR_OUT_OF_MEMORY;
        }
        const QByteArray text = sql.toUtf8();
        if (mysql_stmt_prepare(stmt, text.constData(), static_cast<unsigned long>(text.size())) == 0)
            return 0;
        error = QString::fromUtf8(mysql_stmt_error(stmt));
        const unsigned code = mysql_stmt_errno(stmt);
        mysql_stmt_close(stmt);
        stmt = nullptr;
        return code;
    });
    return stmt;
}

bool executed(Connection& connection, MYSQL_STMT* stmt, const QVariantList& values)
{
    return connection.exchange([&] { return bindAndExecute(stmt, values) ? 0u : mysql_stmt_errno(stmt); }) ==
           0;
}

enum class Kind
{
    Whole,
    Single,
    Double,
    Text,  // a character column (or a value the client prints, such as a DECIMAL or a date)
    Bytes, // binary data
};

bool isCharacterType(enum_field_types type)
{
    switch (type) {
    case MYSQL_TYPE_STRING:
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_VARCHAR:
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_ENUM:
    case MYSQL_TYPE_SET:
        return true;
    default:
        return false;
    }
}

} // namespace

struct Recordset::Statement
{
    MYSQL_STMT* stmt = nullptr;
    ~Statement()
    {
        if (stmt)
            mysql_stmt_close(stmt);
    }
};

// The statement of the query and one typed buffer per column. FLOAT arrives
// as the four bytes the server holds, so it is read exactly.
struct Recordset::Result
{
    struct Column
    {
        Kind kind = Kind::Text;
        bool text = false; // a character column: saves compare it byte for byte
        std::vector<char> buffer;
        unsigned long length = 0;
        my_bool isNull = 0;
        my_bool error = 0;
    };
    MYSQL_STMT* stmt = nullptr;
    std::vector<Column> columns;
    std::vector<MYSQL_BIND> binds;
    int fetched = 0; // rows the server returned (stored results)

    ~Result()
    {
        if (stmt)
            mysql_stmt_close(stmt);
    }

    QVariant value(unsigned i)
    {
        Column& c = columns[i];
        if (c.isNull)
            return QVariant();
        switch (c.kind) {
        case Kind::Whole: {
            qint64 v = 0;
            std::memcpy(&v, c.buffer.data(), sizeof v);
            return binds[i].is_unsigned ? QVariant(quint64(v)) : QVariant(v);
        }
        case Kind::Single: {
            float f = 0;
            std::memcpy(&f, c.buffer.data(), sizeof f);
            return QVariant(double(f)); // the double of the same value, as it is compared and printed
        }
        case Kind::Double: {
            double d = 0;
            std::memcpy(&d, c.buffer.data(), sizeof d);
            return QVariant(d);
        }
        case Kind::Text:
        case Kind::Bytes:
            break;
        }
        QByteArray bytes;
        if (c.length <= c.buffer.size()) {
            bytes = QByteArray(c.buffer.data(), qsizetype(c.length));
        } else {
            // Longer than the buffer: the whole value, fetched on its own.
            bytes.resize(qsizetype(c.length));
            MYSQL_BIND whole{};
            unsigned long length = 0;
            whole.buffer_type = MYSQL_TYPE_STRING;
            whole.buffer = bytes.data();
            whole.buffer_length = c.length;
            whole.length = &length;
            if (mysql_stmt_fetch_column(stmt, &whole, i, 0) != 0)
                return QVariant();
        }
        if (c.kind == Kind::Bytes)
            return QVariant(bytes);
        return QVariant(QString::fromUtf8(bytes));
    }
};

Recordset::Recordset(Connection& connection)
    : m_connection(connection)
{}

Recordset::~Recordset()
{
    close();
}

void Recordset::close()
{
    delete m_result;
    m_result = nullptr;
    qDeleteAll(m_statements);
    m_statements.clear();
}

bool Recordset::fail(const QString& message)
{
    m_error = message;
    return false;
}

bool Recordset::open(const Query& query)
{
    return start(query, false);
}

bool Recordset::openStream(const Query& query)
{
    return start(query, true);
}

bool Recordset::start(const Query& query, bool stream)
{
    close();
    m_query = query;
    m_names.clear();
    m_primaryKey.clear();
    m_count = 0;
    m_current = -1;
    m_stream = stream;
    m_ended = false;
    m_rowRead = false;
    m_saved.clear();
    m_deleted.clear();
    m_adding = false;
    m_edits.clear();
    if (!m_connection.isOpen())
        return fail(u"The connection is not open"_s);
    if (query.appendOnly)
        return true;
    QVariantList values;
    for (const QVariant& v : query.values)
        values.append(storable(v));
    MYSQL_STMT* stmt = prepared(m_connection, text(query), m_error);
    if (!stmt)
        return false;
    m_result = new Result;
    m_result->stmt = stmt;
    if (!executed(m_connection, stmt, values))
        return fail(QString::fromUtf8(mysql_stmt_error(stmt)));
    MYSQL_RES* meta = mysql_stmt_result_metadata(stmt);
    if (!meta)
        return fail(u"The query returned no columns"_s);
    const unsigned n = mysql_num_fields(meta);
    const MYSQL_FIELD* fields = mysql_fetch_fields(meta);
    m_result->columns.resize(n);
    m_result->binds.assign(n, MYSQL_BIND{});
    for (unsigned i = 0; i < n; ++i) {
        const MYSQL_FIELD& f = fields[i];
        auto& c = m_result->columns[i];
        MYSQL_BIND& b = m_result->binds[i];
        m_names.append(QString::fromUtf8(f.name));
        // The key that finds a saved row again; the server marks its columns (a table without
        // a primary key has none marked, unless a unique index over non-NULL columns stands in).
        if (f.flags & PRI_KEY_FLAG)
            m_primaryKey.append(m_names.last());
        switch (f.type) {
        case MYSQL_TYPE_TINY:
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_LONGLONG:
        case MYSQL_TYPE_YEAR:
            c.kind = Kind::Whole;
            c.buffer.resize(sizeof(qint64));
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.is_unsigned = (f.flags & UNSIGNED_FLAG) != 0;
            break;
        case MYSQL_TYPE_FLOAT:
            c.kind = Kind::Single;
            c.buffer.resize(sizeof(float));
            b.buffer_type = MYSQL_TYPE_FLOAT;
            break;
        case MYSQL_TYPE_DOUBLE:
            c.kind = Kind::Double;
            c.buffer.resize(sizeof(double));
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            break;
        default: {
            const bool binary = f.charsetnr == 63 && (isCharacterType(f.type) || f.type == MYSQL_TYPE_BIT ||
                                                      f.type == MYSQL_TYPE_GEOMETRY);
            c.kind = binary ? Kind::Bytes : Kind::Text;
            c.text = !binary && isCharacterType(f.type);
            c.buffer.resize(std::min<size_t>(f.length, 256) + 1);
            b.buffer_type = MYSQL_TYPE_STRING;
            break;
        }
        }
        b.buffer = c.buffer.data();
        b.buffer_length = static_cast<unsigned long>(c.buffer.size());
        b.length = &c.length;
        b.is_null = &c.isNull;
        b.error = &c.error;
    }
    mysql_free_result(meta);
    if (mysql_stmt_bind_result(stmt, m_result->binds.data()) != 0)
        return fail(QString::fromUtf8(mysql_stmt_error(stmt)));
    if (stream) {
        m_count = -1;
        return true;
    }
    if (m_connection.exchange(
            [stmt] { return mysql_stmt_store_result(stmt) == 0 ? 0u : mysql_stmt_errno(stmt); }) != 0)
        return fail(QString::fromUtf8(mysql_stmt_error(stmt)));
    m_result->fetched = int(mysql_stmt_num_rows(stmt));
    m_count = m_result->fetched;
    if (m_count > 0 && fetch())
        m_current = 0;
    return true;
}

bool Recordset::fetch()
{
    m_rowRead = false;
    int r = 0;
    const auto fetchRow = [&] {
        r = mysql_stmt_fetch(m_result->stmt);
        return r == 0 || r == MYSQL_DATA_TRUNCATED || r == MYSQL_NO_DATA ? 0u
                                                                         : mysql_stmt_errno(m_result->stmt);
    };
    // Rows of a stream come off the link; stored rows are in memory already.
    if (m_stream)
        m_connection.exchange(fetchRow);
    else
        fetchRow();
    if (r == 0 || r == MYSQL_DATA_TRUNCATED)
        return true;
    if (r != MYSQL_NO_DATA)
        fail(QString::fromUtf8(mysql_stmt_error(m_result->stmt)));
    return false;
}

bool Recordset::moveFirst()
{
    m_adding = false;
    m_edits.clear();
    if (m_stream) {
        if (m_current >= 0 || m_ended || !m_result)
            return fail(u"A stream of rows cannot go back to its first row"_s);
        if (!fetch()) {
            m_ended = true;
            return m_error.isEmpty() ? fail(u"No current record: the result is empty"_s) : false;
        }
        m_current = 0;
        return true;
    }
    if (m_count < 1) {
        m_current = -1;
        return fail(u"No current record: the result is empty"_s);
    }
    m_current = 0;
    if (m_result && m_result->fetched > 0) {
        mysql_stmt_data_seek(m_result->stmt, 0);
        return fetch();
    }
    return true;
}

void Recordset::moveNext()
{
    m_adding = false;
    m_edits.clear();
    if (eof())
        return;
    ++m_current;
    m_rowRead = false;
    if (m_stream) {
        if (!fetch())
            m_ended = true;
    } else if (m_result && m_current < m_result->fetched) {
        fetch();
    }
}

bool Recordset::eof() const
{
    if (m_stream)
        return m_current < 0 || m_ended;
    return m_current < 0 || m_current >= m_count;
}

int Recordset::columnIndex(const QString& column) const
{
    for (qsizetype i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const QVariantList* Recordset::currentRow()
{
    if (eof() || m_deleted.contains(m_current)) {
        fail(u"No current record"_s);
        return nullptr;
    }
    if (const auto saved = m_saved.constFind(m_current); saved != m_saved.cend())
        return &saved.value();
    if (!m_rowRead) {
        m_row.clear();
        for (unsigned i = 0; i < unsigned(m_names.size()); ++i)
            m_row.append(m_result->value(i));
        m_rowRead = true;
    }
    return &m_row;
}

bool Recordset::cell(const QString& column, QVariant& value)
{
    const QVariantList* row = currentRow();
    if (!row)
        return false;
    const int index = columnIndex(column);
    if (index < 0)
        return fail(u"No column "_s + column);
    value = row->value(index);
    return true;
}

bool Recordset::readWhole(const QString& column, qint64 low, qint64 high, qint64& out)
{
    QVariant v;
    if (!cell(column, v))
        return false;
    if (!toWhole(v, low, high, out))
        return fail(u"Column "_s + column + u" does not hold a whole number from "_s + QString::number(low) +
                    u" to "_s + QString::number(high));
    return true;
}

bool Recordset::readInt16(const QString& column, qint16& out)
{
    qint64 value = 0;
    if (!readWhole(column, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), value))
        return false;
    out = qint16(value);
    return true;
}

bool Recordset::readInt32(const QString& column, qint32& out)
{
    qint64 value = 0;
    if (!readWhole(column, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), value))
        return false;
    out = qint32(value);
    return true;
}

bool Recordset::readSingle(const QString& column, float& out)
{
    QVariant v;
    if (!cell(column, v))
        return false;
    if (v.metaType().id() == QMetaType::Float) {
        out = v.toFloat();
        return true;
    }
    double d = 0;
    if (!toDouble(v, d) || std::fabs(d) > double(FLT_MAX))
        return fail(u"Column "_s + column + u" does not hold a single-precision number"_s);
    out = float(d);
    return true;
}

bool Recordset::readText(const QString& column, QString& out)
{
    QVariant v;
    if (!cell(column, v))
        return false;
    if (v.isNull())
        return fail(u"Column "_s + column + u" is NULL"_s);
    out = v.toString();
    return true;
}

bool Recordset::setField(const QString& column, const QVariant& value)
{
    const int index = columnIndex(column);
    // Columns of an append are checked by the server when the row is stored.
    if (!m_query.appendOnly && index < 0)
        return fail(u"No column "_s + column);
    if (!m_adding && !currentRow())
        return false;
    for (auto& edit : m_edits) {
        if (edit.first.compare(column, Qt::CaseInsensitive) == 0) {
            edit.second = storable(value);
            return true;
        }
    }
    m_edits.append({index < 0 ? column : m_names[index], storable(value)});
    return true;
}

void Recordset::addNew()
{
    m_adding = true;
    m_edits.clear();
}

QString Recordset::whereForRow(const QVariantList& row, QVariantList& binds) const
{
    QStringList terms;
    if (!m_primaryKey.isEmpty()) {
        for (const QString& column : m_primaryKey) {
            terms.append(quoteIdentifier(column) + u" <=> ?"_s);
            binds.append(row.value(columnIndex(column)));
        }
        return terms.join(u" AND "_s);
    }
    for (qsizetype i = 0; i < row.size(); ++i) {
        const QString column = quoteIdentifier(m_names[i]);
        const QVariant& value = row[i];
        if (value.isNull()) {
            terms.append(column + u" IS NULL"_s);
        } else if (m_result && size_t(i) < m_result->columns.size()
                       ? m_result->columns[size_t(i)].text
                       : value.metaType().id() == QMetaType::QString) {
            // The server's comparison first, which an index on the column can serve (equal
            // texts always compare equal); then byte for byte in one character set, so that a
            // case-insensitive collation or trailing blanks never match a different row.
            terms.append(column + u" = ? AND CAST(CONVERT("_s + column +
                         u" USING utf8mb4) AS BINARY) = CAST(? AS BINARY)"_s);
            binds.append(value);
            binds.append(value);
        } else {
            terms.append(column + u" = ?"_s);
            binds.append(value);
        }
    }
    return terms.join(u" AND "_s) + u" LIMIT 1"_s;
}

bool Recordset::run(const QString& sql, const QVariantList& binds, qint64& affected)
{
    Statement*& statement = m_statements[sql];
    if (!statement) {
        MYSQL_STMT* stmt = prepared(m_connection, sql, m_error);
        if (!stmt) {
            m_statements.remove(sql);
            return false;
        }
        statement = new Statement{stmt};
    }
    if (!executed(m_connection, statement->stmt, binds))
        return fail(QString::fromUtf8(mysql_stmt_error(statement->stmt)));
    affected = qint64(mysql_stmt_affected_rows(statement->stmt));
    return true;
}

bool Recordset::update()
{
    if (m_stream)
        return fail(u"A stream of rows is read only"_s);
    if (!m_connection.isOpen())
        return fail(u"The connection is not open"_s);
    qint64 affected = 0;
    if (m_adding) {
        QStringList columns;
        QStringList marks;
        QVariantList values;
        for (const auto& edit : std::as_const(m_edits)) {
            columns.append(quoteIdentifier(edit.first));
            marks.append(u"?"_s);
            values.append(edit.second);
        }
        const QString sql = u"INSERT INTO "_s + quoteIdentifier(m_query.table) + u" ("_s +
                            columns.join(u","_s) + u") VALUES ("_s + marks.join(u","_s) + u")"_s;
        if (!run(sql, values, affected))
            return false;
        if (affected != 1)
            return fail(u"The new row was not stored"_s);
        // The new row becomes the current one, holding what was stored.
        for (const auto& edit : std::as_const(m_edits))
            if (columnIndex(edit.first) < 0)
                m_names.append(edit.first);
        QVariantList added(m_names.size());
        for (const auto& edit : std::as_const(m_edits))
            added[columnIndex(edit.first)] = edit.second;
        m_current = m_count;
        m_saved.insert(m_current, added);
        ++m_count;
        m_adding = false;
        m_edits.clear();
        return true;
    }
    const QVariantList* row = currentRow();
    if (!row)
        return false;
    if (m_edits.isEmpty())
        return true;
    QStringList sets;
    QVariantList binds;
    for (const auto& edit : std::as_const(m_edits)) {
        sets.append(quoteIdentifier(edit.first) + u"=?"_s);
        binds.append(edit.second);
    }
    const QString sql = u"UPDATE "_s + quoteIdentifier(m_query.table) + u" SET "_s + sets.join(u","_s) +
                        u" WHERE "_s + whereForRow(*row, binds);
    if (!run(sql, binds, affected))
        return false;
    if (affected < 1)
        return fail(u"The row could no longer be found as it was fetched"_s);
    QVariantList saved = *row;
    for (const auto& edit : std::as_const(m_edits))
        saved[columnIndex(edit.first)] = edit.second;
    m_saved.insert(m_current, saved);
    m_edits.clear();
    return true;
}

bool Recordset::deleteCurrent()
{
    if (m_stream)
        return fail(u"A stream of rows is read only"_s);
    const QVariantList* row = currentRow();
    if (!row)
        return false;
    QVariantList binds;
    const QString sql =
        u"DELETE FROM "_s + quoteIdentifier(m_query.table) + u" WHERE "_s + whereForRow(*row, binds);
    qint64 affected = 0;
    if (!run(sql, binds, affected))
        return false;
    if (affected < 1)
        return fail(u"The row could no longer be found as it was fetched"_s);
    m_deleted.insert(m_current);
    m_edits.clear();
    return true;
}

} // namespace zelmar::db
