#include "Recordset.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

#include <cfloat>
#include <cmath>
#include <limits>

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

QVariant bindable(const QVariant& v)
{
    // A float is bound as the double of the same value, so the server compares it exactly.
    if (v.metaType().id() == QMetaType::Float)
        return QVariant(double(v.toFloat()));
    return v;
}

} // namespace

Recordset::Recordset(Connection& connection)
    : m_connection(connection)
{}

bool Recordset::fail(const QString& message)
{
    m_error = message;
    return false;
}

bool Recordset::open(const Query& query)
{
    m_query = query;
    m_rows.clear();
    m_current = -1;
    m_adding = false;
    m_edits.clear();
    m_primaryKey.reset();
    if (!m_connection.isOpen())
        return fail(u"The connection is not open"_s);
    if (query.appendOnly) {
        m_columns = QSqlRecord();
        return true;
    }
    QString list;
    if (!selectList(list))
        return false;
    QSqlQuery q(m_connection.database());
    q.setForwardOnly(true);
    if (!q.prepare(u"Select "_s + list + u" FROM "_s + quoteIdentifier(query.table) + query.condition))
        return fail(q.lastError().text());
    for (const QVariant& value : query.values)
        q.addBindValue(storable(value));
    if (!q.exec())
        return fail(q.lastError().text());
    m_columns = q.record();
    while (q.next())
        m_rows.push_back({q.record(), false});
    if (q.lastError().isValid())
        return fail(q.lastError().text());
    m_current = m_rows.empty() ? -1 : 0;
    return true;
}

// The server and the client library print FLOAT values with six digits
// (16777216 arrives as 16777200), which would corrupt what is read and keep a
// saved row from being found again. Such columns are fetched as the DOUBLE of
// the same value, which arrives exactly: `col + 0E0` is a double expression on
// every MySQL and MariaDB server (CAST(.. AS DOUBLE) needs MySQL 8.0.17).
// A probe without rows tells which columns are FLOAT.
bool Recordset::selectList(QString& list)
{
    QSqlQuery probe(m_connection.database());
    probe.setForwardOnly(true);
    if (!probe.exec(u"Select * FROM "_s + quoteIdentifier(m_query.table) + u" LIMIT 0"_s))
        return fail(probe.lastError().text());
    const QSqlRecord columns = probe.record();
    constexpr int mysqlTypeFloat = 4;
    bool anyFloat = false;
    QStringList items;
    for (int i = 0; i < columns.count(); ++i) {
        const QString name = quoteIdentifier(columns.fieldName(i));
        if (columns.field(i).typeID() == mysqlTypeFloat) {
            anyFloat = true;
            items.append(name + u" + 0E0 AS "_s + name);
        } else {
            items.append(name);
        }
    }
    list = anyFloat ? items.join(u", "_s) : u"*"_s;
    return true;
}

bool Recordset::moveFirst()
{
    m_adding = false;
    m_edits.clear();
    if (m_rows.empty()) {
        m_current = -1;
        return fail(u"No current record: the result is empty"_s);
    }
    m_current = 0;
    return true;
}

void Recordset::moveNext()
{
    m_adding = false;
    m_edits.clear();
    if (m_current >= 0 && m_current < int(m_rows.size()))
        ++m_current;
}

const QSqlRecord* Recordset::currentRecord()
{
    if (eof() || m_rows[size_t(m_current)].deleted) {
        fail(u"No current record"_s);
        return nullptr;
    }
    return &m_rows[size_t(m_current)].values;
}

bool Recordset::cell(const QString& column, QVariant& value)
{
    const QSqlRecord* row = currentRecord();
    if (!row)
        return false;
    if (row->indexOf(column) < 0)
        return fail(u"No column "_s + column);
    value = row->value(column);
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
    // Columns of an append are checked by the server when the row is stored.
    if (!m_query.appendOnly && m_columns.indexOf(column) < 0)
        return fail(u"No column "_s + column);
    if (!m_adding && !currentRecord())
        return false;
    for (auto& edit : m_edits) {
        if (edit.first.compare(column, Qt::CaseInsensitive) == 0) {
            edit.second = storable(value);
            return true;
        }
    }
    const int index = m_columns.indexOf(column);
    m_edits.append({index < 0 ? column : m_columns.fieldName(index), storable(value)});
    return true;
}

void Recordset::addNew()
{
    m_adding = true;
    m_edits.clear();
}

bool Recordset::loadPrimaryKey()
{
    if (m_primaryKey)
        return true;
    QSqlQuery q(m_connection.database());
    q.setForwardOnly(true);
    if (!q.exec(u"SHOW KEYS FROM "_s + quoteIdentifier(m_query.table) + u" WHERE Key_name = 'PRIMARY'"_s))
        return fail(q.lastError().text());
    QStringList key;
    while (q.next()) {
        const QString column = q.value(u"Column_name"_s).toString();
        if (m_columns.indexOf(column) < 0) {
            key.clear();
            break;
        }
        key.append(column);
    }
    m_primaryKey = key;
    return true;
}

QString Recordset::whereForRow(const QSqlRecord& row, QVariantList& binds)
{
    QStringList terms;
    if (!m_primaryKey->isEmpty()) {
        for (const QString& column : *m_primaryKey) {
            terms.append(quoteIdentifier(column) + u" <=> ?"_s);
            binds.append(bindable(row.value(column)));
        }
        return terms.join(u" AND "_s);
    }
    for (int i = 0; i < row.count(); ++i) {
        const QString column = quoteIdentifier(row.fieldName(i));
        const QVariant value = row.value(i);
        if (value.isNull()) {
            terms.append(column + u" IS NULL"_s);
        } else if (value.metaType().id() == QMetaType::QString) {
            // Byte for byte: a case-insensitive collation must not match a different row.
            terms.append(u"BINARY "_s + column + u" = BINARY ?"_s);
            binds.append(value);
        } else {
            terms.append(column + u" = ?"_s);
            binds.append(bindable(value));
        }
    }
    return terms.join(u" AND "_s) + u" LIMIT 1"_s;
}

bool Recordset::update()
{
    QSqlQuery q(m_connection.database());
    q.setForwardOnly(true);
    if (m_adding) {
        QStringList columns;
        QStringList marks;
        for (const auto& edit : std::as_const(m_edits)) {
            columns.append(quoteIdentifier(edit.first));
            marks.append(u"?"_s);
        }
        const QString sql = u"INSERT INTO "_s + quoteIdentifier(m_query.table) + u" ("_s +
                            columns.join(u","_s) + u") VALUES ("_s + marks.join(u","_s) + u")"_s;
        if (!q.prepare(sql))
            return fail(q.lastError().text());
        for (const auto& edit : std::as_const(m_edits))
            q.addBindValue(edit.second);
        if (!q.exec())
            return fail(q.lastError().text());
        if (q.numRowsAffected() != 1)
            return fail(u"The new row was not stored"_s);
        QSqlRecord added = m_columns;
        added.clearValues();
        for (const auto& edit : std::as_const(m_edits)) {
            if (added.indexOf(edit.first) < 0)
                added.append(QSqlField(edit.first, edit.second.metaType()));
            added.setValue(edit.first, edit.second);
        }
        m_rows.push_back({added, false});
        m_current = int(m_rows.size()) - 1;
        m_adding = false;
        m_edits.clear();
        return true;
    }
    const QSqlRecord* row = currentRecord();
    if (!row)
        return false;
    if (m_edits.isEmpty())
        return true;
    if (!loadPrimaryKey())
        return false;
    QStringList sets;
    QVariantList binds;
    for (const auto& edit : std::as_const(m_edits)) {
        sets.append(quoteIdentifier(edit.first) + u"=?"_s);
        binds.append(edit.second);
    }
    const QString sql = u"UPDATE "_s + quoteIdentifier(m_query.table) + u" SET "_s + sets.join(u","_s) +
                        u" WHERE "_s + whereForRow(*row, binds);
    if (!q.prepare(sql))
        return fail(q.lastError().text());
    for (const QVariant& value : std::as_const(binds))
        q.addBindValue(value);
    if (!q.exec())
        return fail(q.lastError().text());
    if (q.numRowsAffected() < 1)
        return fail(u"The row could no longer be found as it was fetched"_s);
    QSqlRecord& cached = m_rows[size_t(m_current)].values;
    for (const auto& edit : std::as_const(m_edits))
        cached.setValue(edit.first, edit.second);
    m_edits.clear();
    return true;
}

bool Recordset::deleteCurrent()
{
    const QSqlRecord* row = currentRecord();
    if (!row)
        return false;
    if (!loadPrimaryKey())
        return false;
    QVariantList binds;
    const QString sql =
        u"DELETE FROM "_s + quoteIdentifier(m_query.table) + u" WHERE "_s + whereForRow(*row, binds);
    QSqlQuery q(m_connection.database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return fail(q.lastError().text());
    for (const QVariant& value : std::as_const(binds))
        q.addBindValue(value);
    if (!q.exec())
        return fail(q.lastError().text());
    if (q.numRowsAffected() < 1)
        return fail(u"The row could no longer be found as it was fetched"_s);
    m_rows[size_t(m_current)].deleted = true;
    m_edits.clear();
    return true;
}

} // namespace zelmar::db
