#include "History.h"

#include "ActionBudget.h"
#include "Database.h"
#include "Outcome.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

#include <bit>
#include <charconv>
#include <memory>
#include <type_traits>
#include <vector>

using namespace Qt::StringLiterals;

namespace zelmar::db {

namespace {

const QString update = u"UPDATE"_s;
constexpr qsizetype rowsPerStatement = 500;

// The texts of a change are never NULL: an empty text is recorded as ''.
QString nonNull(const QString& text)
{
    return text.isNull() ? QString::fromLatin1("", 0) : text;
}

template<typename T>
void change(QList<HistoryRow>& rows, const QString& partNUM, qint16 mapNUM, const QString& field,
            const T& stored, const T& written)
{
    // Floats bit for bit: a value that differs in its last bit, or -0 for 0, did change.
    if constexpr (std::is_same_v<T, float>) {
        if (std::bit_cast<quint32>(stored) == std::bit_cast<quint32>(written))
            return;
    } else if (stored == written) {
        return;
    }
    rows.append({update, partNUM, mapNUM, field, historyText(stored), historyText(written)});
}

Query lastRows(const QString& partNUM)
{
    return {historyTable,
            u" WHERE partNUM=? ORDER BY id DESC LIMIT "_s + QString::number(historyShown),
            {partNUM}};
}

// The nullable columns read NULL as a null text.
QString nullable(Recordset& rs, const QString& column)
{
    QString value;
    return rs.readText(column, value) ? value : QString();
}

bool readEntry(Recordset& rs, HistoryEntry& e)
{
    HistoryRow& c = e.change;
    const bool ok = rs.readText(u"changedAT"_s, e.changedAT) &&
                    rs.readText(u"Operator_Code"_s, e.Operator_Code) &&
                    rs.readText(u"Operator_Initials"_s, e.Operator_Initials) &&
                    rs.readText(u"Company"_s, e.Company) && rs.readText(u"action"_s, c.action) &&
                    rs.readText(u"partNUM"_s, c.partNUM) && rs.readInt16(u"mapNUM"_s, c.mapNUM);
    c.field = nullable(rs, u"field"_s);
    c.oldVALUE = nullable(rs, u"oldVALUE"_s);
    c.newVALUE = nullable(rs, u"newVALUE"_s);
    return ok;
}

// The values of one execute, bound as text, whole number or NULL and kept alive until it returns.
class Binds
{
public:
    void add(const QString& value)
    {
        Value& v = m_values.emplace_back();
        v.null = value.isNull();
        v.bytes = value.toUtf8();
    }
    void add(qint16 value)
    {
        Value& v = m_values.emplace_back();
        v.whole = value;
        v.isWhole = true;
    }
    // Prepared and run in one exchange where the server takes them so.
    bool execute(MYSQL_STMT* stmt, const QString& sql)
    {
        if (!stmt)
            return false;
        unsigned count = unsigned(m_values.size());
        mysql_stmt_attr_set(stmt, STMT_ATTR_PREBIND_PARAMS, &count);
        std::vector<MYSQL_BIND> binds(m_values.size());
        for (size_t i = 0; i < binds.size(); ++i) {
            Value& v = m_values[i];
            MYSQL_BIND& b = binds[i];
            if (v.isWhole) {
                b.buffer_type = MYSQL_TYPE_LONGLONG;
                b.buffer = &v.whole;
            } else if (v.null) {
                b.buffer_type = MYSQL_TYPE_NULL;
            } else {
                b.buffer_type = MYSQL_TYPE_STRING;
                b.buffer = v.bytes.data();
                v.length = static_cast<unsigned long>(v.bytes.size());
                b.buffer_length = v.length;
                b.length = &v.length;
            }
        }
        const QByteArray text = sql.toUtf8();
        return mysql_stmt_bind_param(stmt, binds.data()) == 0 &&
               mariadb_stmt_execute_direct(stmt, text.constData(), size_t(text.size())) == 0;
    }

private:
    struct Value
    {
        QByteArray bytes;
        unsigned long length = 0;
        qint64 whole = 0;
        bool isWhole = false;
        bool null = false;
    };
    std::vector<Value> m_values;
};

class Statement
{
public:
    explicit Statement(MYSQL* mysql)
        : m_stmt(mysql_stmt_init(mysql))
    {}
    ~Statement()
    {
        if (m_stmt)
            mysql_stmt_close(m_stmt);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool prepare(const QString& sql)
    {
        const QByteArray text = sql.toUtf8();
        return m_stmt &&
               mysql_stmt_prepare(m_stmt, text.constData(), static_cast<unsigned long>(text.size())) == 0;
    }
    unsigned error() const { return m_stmt ? mysql_stmt_errno(m_stmt) : CR_OUT_OF_MEMORY; }
    MYSQL_STMT* get() const { return m_stmt; }

private:
    MYSQL_STMT* m_stmt;
};

// A client-side error: the connection broke or timed out, and what the server did is not known.
bool answerLost(unsigned error)
{
    return error >= CR_MIN_ERROR && error <= CR_MAX_ERROR;
}

// The rows of `chunk` that name its last part number are the newest of that part number, in order.
Outcome stored(const Profile& profile, const Timeouts& timeouts, const HistoryAuthor& author,
               const QList<HistoryRow>& chunk)
{
    const QString pn = chunk.last().partNUM;
    QList<HistoryRow> expected;
    for (qsizetype i = chunk.size() - 1; i >= 0; --i)
        if (chunk[i].partNUM == pn)
            expected.append(chunk[i]);
    return findOutcome(profile, timeouts, lastRows(pn), [&](Recordset& rs) -> std::optional<bool> {
        if (!rs.moveFirst())
            return false;
        for (const HistoryRow& row : std::as_const(expected)) {
            HistoryEntry e;
            if (rs.eof() || !readEntry(rs, e) || !(e.change == row) ||
                e.Operator_Code != author.Operator_Code || e.Operator_Initials != author.Operator_Initials ||
                e.Company != author.Company)
                return false;
            rs.moveNext();
        }
        return true;
    });
}

// The connection the action holds for `profile` (a new one outside an action), open.
std::shared_ptr<Connection> openConnection(const Profile& profile, const Timeouts& timeouts)
{
    auto connection = timeouts.budget ? timeouts.budget->connectionFor(profile, timeouts)
                                      : std::make_shared<Connection>(profile, timeouts);
    if (!connection->isOpen())
        connection->open();
    return connection;
}

} // namespace

QString historyText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString historyText(qint16 value)
{
    return QString::number(value);
}

QString historyText(const QString& value)
{
    return nonNull(value);
}

PortRowValues PortRowValues::of(const PortTable& p, int slot)
{
    const auto i = size_t(slot);
    return {p.portNAME[i], p.UOM[i],    p.unitSCALE[i], p.acTIVE[i], p.Range[i], p.minSPEC[i], p.maxSPEC[i],
            p.numAVG[i],   p.mspeed[i], p.timeDELAY[i], p.ssON[i],   p.ssTOL[i], p.ssMAXT[i],  p.ssREQD[i]};
}

void addChange(QList<HistoryRow>& rows, const QString& partNUM, qint16 mapNUM, const QString& field,
               qint16 stored, qint16 written)
{
    change(rows, partNUM, mapNUM, field, stored, written);
}

void addChange(QList<HistoryRow>& rows, const QString& partNUM, qint16 mapNUM, const QString& field,
               float stored, float written)
{
    change(rows, partNUM, mapNUM, field, stored, written);
}

void addChange(QList<HistoryRow>& rows, const QString& partNUM, qint16 mapNUM, const QString& field,
               const QString& stored, const QString& written)
{
    change(rows, partNUM, mapNUM, field, stored, written);
}

QList<HistoryRow> pnChanges(const PnValues& s, const PnValues& w)
{
    QList<HistoryRow> rows;
    const QString& pn = w.curPN;
    if (s.curPN != w.curPN)
        rows.append(renameRow(s.curPN, w.curPN));
    change(rows, pn, 0, u"snNAME"_s, s.snNAME, w.snNAME);
    change(rows, pn, 0, u"pnDEFAULT"_s, s.pnDEFAULT, w.pnDEFAULT);
    change(rows, pn, 0, u"snACTIVE"_s, s.snACTIVE, w.snACTIVE);
    change(rows, pn, 0, u"snBARCODE"_s, s.snBARCODE, w.snBARCODE);
    change(rows, pn, 0, u"snFORMAT"_s, s.snFORMAT, w.snFORMAT);
    change(rows, pn, 0, u"snLENGTH"_s, s.snLENGTH, w.snLENGTH);
    change(rows, pn, 0, u"autoMEASURE"_s, s.autoMEASURE, w.autoMEASURE);
    change(rows, pn, 0, u"autoTIME"_s, s.autoTIME, w.autoTIME);
    change(rows, pn, 0, u"reqRANDR"_s, s.reqRANDR, w.reqRANDR);
    change(rows, pn, 0, u"snGOOD"_s, s.snGOOD, w.snGOOD);
    change(rows, pn, 0, u"snBAD"_s, s.snBAD, w.snBAD);
    return rows;
}

QList<HistoryRow> portChanges(const QString& pn, qint16 k, const PortRowValues& s, const PortRowValues& w)
{
    QList<HistoryRow> rows;
    change(rows, pn, k, u"portNAME"_s, s.portNAME, w.portNAME);
    change(rows, pn, k, u"UOM"_s, s.UOM, w.UOM);
    change(rows, pn, k, u"unitSCALE"_s, s.unitSCALE, w.unitSCALE);
    change(rows, pn, k, u"acTIVE"_s, s.acTIVE, w.acTIVE);
    change(rows, pn, k, u"Range"_s, s.Range, w.Range);
    change(rows, pn, k, u"minSPEC"_s, s.minSPEC, w.minSPEC);
    change(rows, pn, k, u"maxSPEC"_s, s.maxSPEC, w.maxSPEC);
    change(rows, pn, k, u"numAVG"_s, s.numAVG, w.numAVG);
    change(rows, pn, k, u"mspeed"_s, s.mspeed, w.mspeed);
    change(rows, pn, k, u"timeDELAY"_s, s.timeDELAY, w.timeDELAY);
    change(rows, pn, k, u"ssON"_s, s.ssON, w.ssON);
    change(rows, pn, k, u"ssTOL"_s, s.ssTOL, w.ssTOL);
    change(rows, pn, k, u"ssMAXT"_s, s.ssMAXT, w.ssMAXT);
    change(rows, pn, k, u"ssREQD"_s, s.ssREQD, w.ssREQD);
    return rows;
}

HistoryRow createRow(const QString& partNUM, qint16 mapPORT, const QString& sourcePN)
{
    return {u"CREATE"_s,         partNUM, 0, QString(), sourcePN.isEmpty() ? QString() : sourcePN,
            historyText(mapPORT)};
}

HistoryRow deleteRow(const QString& partNUM, qint16 mapPORT)
{
    return {u"DELETE"_s, partNUM, 0, QString(), historyText(mapPORT), QString()};
}

HistoryRow renameRow(const QString& oldPN, const QString& newPN)
{
    return {u"RENAME"_s, newPN, 0, u"partNUM"_s, nonNull(oldPN), nonNull(newPN)};
}

HistoryTable findHistoryTable(const Profile& profile, const Timeouts& timeouts)
{
    // On the connection of the sign-in's other reads: a connect costs more than the question.
    const auto connection = openConnection(profile, timeouts);
    if (!connection->isOpen())
        return HistoryTable::Unknown;
    // Preparing resolves the table; nothing needs to run.
    Statement probe(connection->handle());
    if (probe.prepare(Recordset::text({historyTable, u" WHERE 1=0"_s, {}})))
        return HistoryTable::Present;
    return probe.error() == ER_NO_SUCH_TABLE ? HistoryTable::Missing : HistoryTable::Unknown;
}

HistoryWrite writeHistory(Connection& connection, const Profile& profile, const Timeouts& timeouts,
                          HistoryAuthor& author, const QList<HistoryRow>& rows, bool inTransaction)
{
    if (author.table == HistoryTable::Missing || rows.isEmpty())
        return HistoryWrite::Skipped;
    if (!connection.isOpen())
        return HistoryWrite::Failed;
    const QString head = u"INSERT INTO "_s + quoteIdentifier(historyTable) +
                         u" (`changedAT`,`Operator_Code`,`Operator_Initials`,`Company`,`action`,`partNUM`,"
                         u"`mapNUM`,`field`,`oldVALUE`,`newVALUE`) VALUES "_s;
    const QString tuple = u"(NOW(),?,?,?,?,?,?,?,?,?)"_s;
    // In a transaction a failure part-way must not leave some rows to be committed: one statement.
    const qsizetype perStatement = inTransaction ? rows.size() : rowsPerStatement;
    for (qsizetype from = 0; from < rows.size(); from += perStatement) {
        const QList<HistoryRow> chunk = rows.mid(from, perStatement);
        QStringList tuples(chunk.size(), tuple);
        Binds binds;
        for (const HistoryRow& r : chunk) {
            binds.add(nonNull(author.Operator_Code));
            binds.add(nonNull(author.Operator_Initials));
            binds.add(nonNull(author.Company));
            binds.add(r.action);
            binds.add(r.partNUM);
            binds.add(r.mapNUM);
            binds.add(r.field);
            binds.add(r.oldVALUE);
            binds.add(r.newVALUE);
        }
        // The server's thread that runs the insert: after a lost answer, the check waits for it.
        const unsigned long thread = mysql_thread_id(connection.handle());
        Statement insert(connection.handle());
        const unsigned error = connection.exchange(
            [&] { return binds.execute(insert.get(), head + tuples.join(u',')) ? 0u : insert.error(); });
        if (error == 0)
            continue;
        if (error == ER_NO_SUCH_TABLE) {
            // Dropped since the sign-in, or never there: silent from now on.
            author.table = HistoryTable::Missing;
            return HistoryWrite::Skipped;
        }
        // A deadlock, and a lock wait under innodb_rollback_on_timeout, roll back the whole
        // transaction: committing after it would report a change that is not stored.
        if (inTransaction && (error == ER_LOCK_DEADLOCK || error == ER_LOCK_WAIT_TIMEOUT))
            return HistoryWrite::Aborted;
        if (!answerLost(error) || inTransaction)
            return HistoryWrite::Failed;
        if (timeouts.budget)
            timeouts.budget->noteThread(thread);
        if (stored(profile, timeouts, author, chunk) != Outcome::Done)
            return HistoryWrite::Failed;
    }
    return HistoryWrite::Written;
}

QString historyMissing(const QList<HistoryRow>& rows)
{
    return u"History row missing "_s + (rows.isEmpty() ? QString() : rows.first().partNUM) + u" IE = 2"_s;
}

void recordMissingHistory(Database& database, const QString& server, const QString& databaseName,
                          const QString& user, const QString& password, const QList<HistoryRow>& rows)
{
    database.SQL_writeERROR(server, databaseName, user, password, errorTable, historyRoutine,
                            historyMissing(rows));
}

void Database::beginSave(const QString& pn, const QString& sourcePN)
{
    m_savePN = pn;
    m_sourcePN = sourcePN;
    m_ownMarkCleared = false;
}

void Database::recordHistory(const QString& server, const QString& databaseName, const QString& user,
                             const QString& password, const QList<HistoryRow>& rows)
{
    if (history.table == HistoryTable::Missing || rows.isEmpty())
        return;
    HistoryWrite written = HistoryWrite::Failed;
    {
        const auto connection = openConnection(profile(server, databaseName, user, password), m_timeouts);
        if (connection->isOpen())
            written = writeHistory(*connection, connection->profile(), m_timeouts, history, rows);
        // What a lost link left on the server is not this connection's any more.
        if (connection->linkLost())
            connection->close();
    }
    if (written == HistoryWrite::Failed)
        recordMissingHistory(*this, server, databaseName, user, password, rows);
}

void Database::recordOwnMarkCleared(const QString& server, const QString& databaseName, const QString& user,
                                    const QString& password, QList<HistoryRow> rows)
{
    if (m_ownMarkCleared)
        addChange(rows, m_savePN, 0, u"pnDEFAULT"_s, qint16(1), qint16(0));
    m_ownMarkCleared = false;
    recordHistory(server, databaseName, user, password, rows);
}

bool Database::historyBeforeCommit(Connection& connection, const QList<HistoryRow>& rows, bool& written)
{
    const HistoryWrite result =
        writeHistory(connection, connection.profile(), m_timeouts, history, rows, true);
    written = result == HistoryWrite::Written;
    return result != HistoryWrite::Aborted && !connection.linkLost();
}

bool readHistory(const Profile& profile, const Timeouts& timeouts, const QString& partNUM,
                 QList<HistoryEntry>& entries)
{
    Session session(profile, timeouts);
    if (!session.open(lastRows(partNUM)))
        return false;
    Recordset& rs = session.rows();
    QList<HistoryEntry> read;
    if (rs.recordCount() > 0 && rs.moveFirst()) {
        for (; !rs.eof(); rs.moveNext()) {
            if (!readEntry(rs, read.emplace_back()))
                return false;
        }
    }
    entries = read;
    return true;
}

} // namespace zelmar::db
