#include "Recordset.h"

#include <errmsg.h>
#include <mariadb_ctype.h>
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
    const QString columns = query.column.isEmpty() ? u"*"_s : quoteIdentifier(query.column);
    return u"Select "_s + columns + u" FROM "_s + quoteIdentifier(query.table) + query.condition;
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

// Sends `sql` with `values` bound and reads its answer, in one exchange with the server: a new
// handle (`stmt` null) is prepared in the same exchange, prepare and execute going out together
// where the server takes them so (MariaDB 10.2 and later; other servers get them one after the
// other). With `storeRows` the rows of its result are read to the client in the same exchange.
unsigned sendStatement(Connection& connection, MYSQL_STMT*& stmt, const QString& sql,
                       const QVariantList& values, bool storeRows, QString& error)
{
    return connection.exchange([&]() -> unsigned {
        ParamBinds binds(values);
        const bool fresh = stmt == nullptr;
        if (fresh) {
            stmt = mysql_stmt_init(connection.handle());
            if (!stmt) {
                error = QString::fromUtf8(mysql_error(connection.handle()));
                return CR_OUT_OF_MEMORY;
            }
            unsigned count = unsigned(values.size());
            mysql_stmt_attr_set(stmt, STMT_ATTR_PREBIND_PARAMS, &count);
        }
        bool ok = values.isEmpty() || mysql_stmt_bind_param(stmt, binds.data()) == 0;
        if (ok && fresh) {
            const QByteArray text = sql.toUtf8();
            ok = mariadb_stmt_execute_direct(stmt, text.constData(), size_t(text.size())) == 0;
        } else if (ok) {
            ok = mysql_stmt_execute(stmt) == 0;
        }
        if (ok && storeRows)
            ok = mysql_stmt_store_result(stmt) == 0;
        if (ok)
            return 0;
        error = QString::fromUtf8(mysql_stmt_error(stmt));
        const unsigned code = mysql_stmt_errno(stmt);
        return code != 0 ? code : CR_UNKNOWN_ERROR;
    });
}

// Rows of a stream read in one exchange with the server.
constexpr size_t streamChunk = 1024;

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
        enum_field_types type = MYSQL_TYPE_NULL;
        bool isUnsigned = false;
        unsigned long maxChars = 0; // of a character column
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

    // A stream's rows, read ahead a chunk at a time in one exchange with the server: the bytes
    // of every cell in `chunk`, found by `cells` (rows by columns); `row` is the current one.
    struct Cell
    {
        size_t offset = 0;
        unsigned long length = 0;
        bool null = false;
    };
    bool stream = false;
    std::vector<char> chunk;
    std::vector<Cell> cells;
    size_t chunkRows = 0;
    size_t row = 0;
    bool drained = false; // the server has sent the last row
    unsigned pendingError = 0;
    QString pendingErrorText;

    // The whole of a value longer than its buffer, fetched on its own from the row just fetched.
    bool fetchWhole(unsigned i, char* into, unsigned long length)
    {
        MYSQL_BIND whole{};
        unsigned long got = 0;
        whole.buffer_type = MYSQL_TYPE_STRING;
        whole.buffer = into;
        whole.buffer_length = length;
        whole.length = &got;
        return mysql_stmt_fetch_column(stmt, &whole, i, 0) == 0;
    }

    // Reads up to `most` rows of a stream into the chunk; 0 or the client library's error number.
    unsigned readAhead(size_t most)
    {
        chunk.clear();
        cells.clear();
        chunkRows = 0;
        row = 0;
        while (chunkRows < most) {
            const int r = mysql_stmt_fetch(stmt);
            if (r == MYSQL_NO_DATA) {
                drained = true;
                return 0;
            }
            if (r != 0 && r != MYSQL_DATA_TRUNCATED)
                return mysql_stmt_errno(stmt) != 0 ? mysql_stmt_errno(stmt) : unsigned(CR_UNKNOWN_ERROR);
            for (unsigned i = 0; i < columns.size(); ++i) {
                const Column& c = columns[i];
                const bool variable = c.kind == Kind::Text || c.kind == Kind::Bytes;
                Cell cell{chunk.size(), variable ? c.length : c.buffer.size(), c.isNull != 0};
                if (!cell.null) {
                    chunk.resize(chunk.size() + cell.length);
                    if (variable && c.length > c.buffer.size())
                        cell.null = !fetchWhole(i, chunk.data() + cell.offset, c.length);
                    else
                        std::memcpy(chunk.data() + cell.offset, c.buffer.data(), cell.length);
                }
                cells.push_back(cell);
            }
            ++chunkRows;
        }
        return 0;
    }

    QVariant value(unsigned i)
    {
        const Column& c = columns[i];
        const char* data = c.buffer.data();
        unsigned long length = c.length;
        bool null = c.isNull != 0;
        QByteArray whole;
        if (stream) {
            const Cell& cell = cells[row * columns.size() + i];
            data = chunk.data() + cell.offset;
            length = cell.length;
            null = cell.null;
        } else if (!null && (c.kind == Kind::Text || c.kind == Kind::Bytes) && length > c.buffer.size()) {
            whole.resize(qsizetype(length));
            if (!fetchWhole(i, whole.data(), length))
                return QVariant();
            data = whole.constData();
        }
        if (null)
            return QVariant();
        switch (c.kind) {
        case Kind::Whole: {
            qint64 v = 0;
            std::memcpy(&v, data, sizeof v);
            return binds[i].is_unsigned ? QVariant(quint64(v)) : QVariant(v);
        }
        case Kind::Single: {
            float f = 0;
            std::memcpy(&f, data, sizeof f);
            return QVariant(double(f)); // the double of the same value, as it is compared and printed
        }
        case Kind::Double: {
            double d = 0;
            std::memcpy(&d, data, sizeof d);
            return QVariant(d);
        }
        case Kind::Text:
        case Kind::Bytes:
            break;
        }
        const QByteArray bytes(data, qsizetype(length));
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
    // Closing a stream whose rows have not all come reads the rest off the link.
    if (m_result && m_result->stream && !m_result->drained)
        m_connection.exchange([this] {
            delete m_result;
            return 0u;
        });
    else
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
    m_result = new Result;
    m_result->stream = stream;
    if (sendStatement(m_connection, m_result->stmt, text(query), values, !stream, m_error) != 0)
        return false;
    MYSQL_STMT* stmt = m_result->stmt;
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
        c.type = f.type;
        c.isUnsigned = (f.flags & UNSIGNED_FLAG) != 0;
        const MARIADB_CHARSET_INFO* charset = mariadb_get_charset_by_nr(f.charsetnr);
        c.maxChars = f.length / (charset && charset->char_maxlen > 0 ? charset->char_maxlen : 4);
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
    m_result->fetched = int(mysql_stmt_num_rows(stmt));
    m_count = m_result->fetched;
    if (m_count > 0 && fetch())
        m_current = 0;
    return true;
}

bool Recordset::fetch()
{
    m_rowRead = false;
    if (m_stream) {
        // Rows come off the link a chunk at a time; an error comes after the rows before it.
        Result& r = *m_result;
        if (r.row + 1 < r.chunkRows) {
            ++r.row;
            return true;
        }
        if (!r.drained && r.pendingError == 0) {
            r.pendingError = m_connection.exchange([&r] { return r.readAhead(streamChunk); });
            if (r.pendingError != 0)
                r.pendingErrorText = QString::fromUtf8(mysql_stmt_error(r.stmt));
            if (r.chunkRows > 0)
                return true;
        }
        if (r.pendingError != 0)
            fail(r.pendingErrorText);
        return false;
    }
    const int r = mysql_stmt_fetch(m_result->stmt);
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
    if (!statement)
        statement = new Statement;
    if (sendStatement(m_connection, statement->stmt, sql, binds, false, m_error) != 0) {
        // A handle that failed is not kept: the next use of the text starts afresh.
        delete m_statements.take(sql);
        return false;
    }
    affected = qint64(mysql_stmt_affected_rows(statement->stmt));
    return true;
}

bool Recordset::update()
{
    if (m_stream)
        return fail(u"A stream of rows is read only"_s);
    if (!m_connection.isOpen())
        return fail(u"The connection is not open"_s);
    if (m_adding) {
        if (!appendRows({m_edits}))
            return false;
        // The new row becomes the current one, holding what was stored.
        m_current = m_count - 1;
        m_adding = false;
        m_edits.clear();
        return true;
    }
    qint64 affected = 0;
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

namespace {

bool sameBits(double a, double b)
{
    return std::isfinite(a) && std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

bool Recordset::holds(const QString& column, const QVariant& value)
{
    const int index = columnIndex(column);
    QVariant stored;
    if (index < 0 || !m_result || size_t(index) >= m_result->columns.size() || !cell(column, stored) ||
        stored.isNull())
        return false;
    const Kind kind = m_result->columns[size_t(index)].kind;
    const int type = value.metaType().id();
    if (type == QMetaType::QString)
        return m_result->columns[size_t(index)].text && stored.toString() == value.toString();
    double number = 0;
    if (isIntegerType(type)) {
        if (kind == Kind::Whole)
            return stored.toLongLong() == value.toLongLong();
        number = double(value.toLongLong());
    } else if (isFloatType(type)) {
        number = type == QMetaType::Float ? double(value.toFloat()) : value.toDouble();
    } else {
        return false;
    }
    // What a FLOAT column keeps of a number is its single-precision value.
    if (kind == Kind::Single)
        return sameBits(stored.toDouble(), double(float(number)));
    return kind == Kind::Double && sameBits(stored.toDouble(), number);
}

bool Recordset::fitsAsIs(const QString& column, const QVariant& value) const
{
    const int index = columnIndex(column);
    if (index < 0 || !m_result || size_t(index) >= m_result->columns.size())
        return false;
    const Result::Column& c = m_result->columns[size_t(index)];
    const int type = value.metaType().id();
    if (type == QMetaType::QString) {
        // The column's own character set is not told: a text of plain ASCII fits any.
        const QString text = value.toString();
        return c.text &&
               std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x80; }) &&
               c.maxChars >= unsigned(text.size());
    }
    if (c.kind == Kind::Single || c.kind == Kind::Double)
        return isIntegerType(type) || (isFloatType(type) && std::isfinite(value.toDouble()));
    if (!isIntegerType(type) || c.kind != Kind::Whole)
        return false;
    const qint64 v = value.toLongLong();
    int bits = 64;
    switch (c.type) {
    case MYSQL_TYPE_TINY:
        bits = 8;
        break;
    case MYSQL_TYPE_SHORT:
        bits = 16;
        break;
    case MYSQL_TYPE_INT24:
        bits = 24;
        break;
    case MYSQL_TYPE_LONG:
        bits = 32;
        break;
    case MYSQL_TYPE_LONGLONG:
        return !c.isUnsigned || v >= 0;
    default:
        return false;
    }
    const qint64 low = c.isUnsigned ? 0 : -(qint64(1) << (bits - 1));
    const qint64 high = c.isUnsigned ? (qint64(1) << bits) - 1 : (qint64(1) << (bits - 1)) - 1;
    return v >= low && v <= high;
}

bool Recordset::fitAsIs(const QList<Fields>& rows) const
{
    for (const Fields& row : rows)
        for (const auto& [column, value] : row)
            if (!fitsAsIs(column, value))
                return false;
    return true;
}

bool Recordset::moveTo(int row)
{
    m_adding = false;
    m_edits.clear();
    if (m_stream || row < 0 || row >= m_count)
        return fail(u"No current record"_s);
    m_current = row;
    m_rowRead = false;
    if (m_result && row < m_result->fetched) {
        mysql_stmt_data_seek(m_result->stmt, my_ulonglong(row));
        return fetch();
    }
    return true;
}

bool Recordset::oneByOne(qsizetype count, const std::function<bool(qsizetype)>& save)
{
    const bool together = count > 1;
    if (together && !m_connection.transaction())
        return fail(m_connection.errorText());
    for (qsizetype i = 0; i < count; ++i) {
        if (!save(i)) {
            if (together)
                m_connection.rollback();
            return false;
        }
    }
    if (together && m_beforeCommit && !m_beforeCommit()) {
        m_connection.rollback();
        return fail(u"The save was rolled back with what goes with it"_s);
    }
    if (together && !m_connection.commit()) {
        m_connection.rollback();
        return fail(m_connection.errorText());
    }
    return true;
}

bool Recordset::keysOf(const QList<int>& rows, QVariantList& keys)
{
    const int key = columnIndex(m_primaryKey.value(0));
    for (const int r : rows) {
        const QVariantList* row = moveTo(r) ? currentRow() : nullptr;
        if (!row)
            return false;
        keys.append(row->value(key));
    }
    return true;
}

bool Recordset::updateRows(const QList<RowEdits>& rows)
{
    if (m_stream)
        return fail(u"A stream of rows is read only"_s);
    QList<Fields> values;
    for (const RowEdits& r : rows)
        values.append(r.fields);
    if (m_primaryKey.size() != 1 || rows.size() < 2 || !fitAsIs(values))
        return oneByOne(rows.size(), [&](qsizetype i) {
            if (!moveTo(rows[i].row))
                return false;
            for (const auto& [column, value] : rows[i].fields)
                if (!setField(column, value))
                    return false;
            return update();
        });
    // Each column set by the key of its row; a row that does not change a column keeps it.
    QList<int> numbers;
    for (const RowEdits& r : rows)
        numbers.append(r.row);
    QVariantList keys;
    if (!keysOf(numbers, keys))
        return false;
    QStringList columns;
    for (const RowEdits& r : rows) {
        for (const auto& field : r.fields) {
            const int index = columnIndex(field.first);
            if (index < 0)
                return fail(u"No column "_s + field.first);
            if (!columns.contains(m_names[index]))
                columns.append(m_names[index]);
        }
    }
    const QString key = quoteIdentifier(m_primaryKey.first());
    QStringList sets;
    QVariantList binds;
    for (const QString& column : std::as_const(columns)) {
        QString set = quoteIdentifier(column) + u"=CASE "_s + key;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            for (const auto& field : rows[i].fields) {
                if (field.first.compare(column, Qt::CaseInsensitive) == 0) {
                    set += u" WHEN ? THEN ?"_s;
                    binds << keys[i] << storable(field.second);
                }
            }
        }
        sets.append(set + u" ELSE "_s + quoteIdentifier(column) + u" END"_s);
    }
    QStringList marks;
    for (const QVariant& k : std::as_const(keys)) {
        marks.append(u"?"_s);
        binds.append(k);
    }
    const QString sql = u"UPDATE "_s + quoteIdentifier(m_query.table) + u" SET "_s + sets.join(u","_s) +
                        u" WHERE "_s + key + u" IN ("_s + marks.join(u","_s) + u")"_s;
    qint64 affected = 0;
    if (!run(sql, binds, affected))
        return false;
    if (affected != rows.size())
        return fail(u"A row could no longer be found as it was fetched"_s);
    for (const RowEdits& r : rows) {
        moveTo(r.row);
        QVariantList saved = *currentRow();
        for (const auto& [column, value] : r.fields)
            saved[columnIndex(column)] = storable(value);
        m_saved.insert(r.row, saved);
    }
    return true;
}

bool Recordset::deleteRows(const QList<int>& rows)
{
    if (m_stream)
        return fail(u"A stream of rows is read only"_s);
    if (m_primaryKey.size() != 1 || rows.size() < 2)
        return oneByOne(rows.size(), [&](qsizetype i) { return moveTo(rows[i]) && deleteCurrent(); });
    QVariantList keys;
    if (!keysOf(rows, keys))
        return false;
    QStringList marks(keys.size(), u"?"_s);
    const QString sql = u"DELETE FROM "_s + quoteIdentifier(m_query.table) + u" WHERE "_s +
                        quoteIdentifier(m_primaryKey.first()) + u" IN ("_s + marks.join(u","_s) + u")"_s;
    qint64 affected = 0;
    if (!run(sql, keys, affected))
        return false;
    if (affected != rows.size())
        return fail(u"A row could no longer be found as it was fetched"_s);
    for (const int r : rows)
        m_deleted.insert(r);
    return true;
}

bool Recordset::appendRows(const QList<Fields>& rows)
{
    if (m_stream)
        return fail(u"A stream of rows is read only"_s);
    if (!m_connection.isOpen())
        return fail(u"The connection is not open"_s);
    if (rows.isEmpty())
        return true;
    if (rows.size() > 1 && !fitAsIs(rows))
        return oneByOne(rows.size(), [&](qsizetype i) { return appendRows({rows[i]}); });
    QStringList columns;
    for (const auto& field : rows.first())
        columns.append(quoteIdentifier(field.first));
    const QString marks = u"("_s + QStringList(columns.size(), u"?"_s).join(u","_s) + u")"_s;
    QVariantList values;
    for (const Fields& row : rows) {
        if (row.size() != columns.size())
            return fail(u"The new rows do not have the same columns"_s);
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (quoteIdentifier(row[i].first) != columns[i])
                return fail(u"The new rows do not have the same columns"_s);
            values.append(storable(row[i].second));
        }
    }
    const QString sql = u"INSERT INTO "_s + quoteIdentifier(m_query.table) + u" ("_s + columns.join(u","_s) +
                        u") VALUES "_s + QStringList(rows.size(), marks).join(u","_s);
    qint64 affected = 0;
    if (!run(sql, values, affected))
        return false;
    if (affected != rows.size())
        return fail(u"The new rows were not stored"_s);
    // Each new row holds what was stored, after the fetched ones.
    for (const auto& field : rows.first())
        if (columnIndex(field.first) < 0)
            m_names.append(field.first);
    for (const Fields& row : rows) {
        QVariantList added(m_names.size());
        for (const auto& [column, value] : row)
            added[columnIndex(column)] = storable(value);
        m_saved.insert(m_count++, added);
    }
    return true;
}

} // namespace zelmar::db
