// Benchmark of the program's database operations against a raw Connector/C
// floor doing the same work in the same run. Not a test: scripts/bench starts
// the servers, seeds nothing itself and runs this program, which seeds its own
// databases, measures, prints a Markdown table and drops what it made.
//
// Each row runs the program's operation and its floor alternately, `reps`
// times each, and reports the medians and their ratio. Rows that need more than
// the database layer (the editor's handlers) join the list in cases() the same way.

#include "Database.h"
#include "RawClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zelmar;
using namespace zelmar::bench;

namespace {

struct Settings
{
    std::string host = "127.0.0.1";
    unsigned plainPort = 0;
    unsigned tlsPort = 0;
    std::string user;
    std::string password;
    std::string caFile;
    int reps = 15;
    int largeRows = 100000;
    std::string child;    // run one operation in this process and exit (peak memory)
    std::string database; // the child's database
    std::string programCipher;
};

Settings g;

RawServer raw(unsigned port, const std::string& database, bool tls = false)
{
    return {g.host, port, g.user, g.password, database, tls ? g.caFile : std::string()};
}

db::Profile profile(unsigned port, const std::string& database, bool siteCa = false)
{
    return db::Profile{QString(),
                       QString::fromStdString(g.host) + u':' + QString::number(port),
                       QString::fromStdString(database),
                       QString::fromStdString(g.user),
                       QString::fromStdString(g.password),
                       siteCa ? QString::fromStdString(g.caFile) : QString()};
}

void die(const std::string& what)
{
    std::fprintf(stderr, "zelmar_bench: %s\n", what.c_str());
    std::exit(1);
}

void adminExec(RawConnection& admin, const std::string& sql)
{
    if (!admin.query(sql))
        die(sql + ": " + mysql_error(admin.handle()));
}

// ---- Seeding ---------------------------------------------------------------

std::string pnName(long i)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "PN-%06ld", i);
    return buf;
}

void loadSchema(RawConnection& admin)
{
    QFile file(QStringLiteral(ZELMAR_SQL_DIR "/customer.sql"));
    if (!file.open(QIODevice::ReadOnly))
        die("cannot read customer.sql");
    QString statement;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().startsWith(u"--"_s))
            continue;
        statement += line + u'\n';
        if (line.trimmed().endsWith(u';')) {
            adminExec(admin, statement.trimmed().chopped(1).toStdString());
            statement.clear();
        }
    }
}

// `rows` part numbers PN-000001... in id order, map k for part number k (wrapping at 30000);
// 49 ports for each of the first 100 maps.
void seed(unsigned port, const std::string& database, long rows)
{
    RawConnection admin(raw(port, ""));
    if (!admin.ok())
        die(std::string("admin connection: ") + mysql_error(admin.handle()));
    adminExec(admin, "DROP DATABASE IF EXISTS `" + database + "`");
    adminExec(admin, "CREATE DATABASE `" + database + "` CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci");
    adminExec(admin, "USE `" + database + "`");
    loadSchema(admin);
    const std::string n = std::to_string(rows);
    adminExec(admin, "INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, "
                     "snEXTENDER, snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD) "
                     "SELECT CONCAT('PN-', LPAD(seq, 6, '0')), CONCAT('Part ', seq), 0, seq MOD 30000 + 1, "
                     "1, 1, 0, seq, 'AB-####', 7, 0, 2.5, 0, '', '' FROM seq_1_to_" +
                         n);
    adminExec(admin, "INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, minSPEC, maxSPEC, ssTOL) "
                     "SELECT m.seq, p.seq, CONCAT('Port ', p.seq), 0.05, 123.456, 0.05 "
                     "FROM seq_1_to_100 m, seq_1_to_49 p ORDER BY m.seq, p.seq");
    // A customer's table without a primary key, keeping its index on the part number.
    adminExec(admin, "CREATE TABLE snPN_nokey LIKE snPN");
    adminExec(admin, "ALTER TABLE snPN_nokey DROP COLUMN id");
    adminExec(admin, "INSERT INTO snPN_nokey SELECT partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, "
                     "snBARCODE, snEXTENDER, snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, "
                     "snBAD FROM snPN ORDER BY id");
    adminExec(admin, "ANALYZE TABLE snPN, snPN_nokey, portCONFIG");
}

void drop(unsigned port, const std::string& database)
{
    RawConnection admin(raw(port, ""));
    if (admin.ok())
        admin.query("DROP DATABASE IF EXISTS `" + database + "`");
}

// ---- The program's side ----------------------------------------------------

struct Program
{
    db::Database database;
    db::Profile p;
    explicit Program(const db::Profile& profile)
        : p(profile)
    {}
    template<typename Op, typename... Args>
    void operator()(Op op, const QString& table, Args&&... args)
    {
        (database.*op)(p.server, p.database, p.user, p.password, table, std::forward<Args>(args)...);
    }
};

struct PnFields
{
    QString snNAME = u"Part"_s;
    qint16 pnDEFAULT = 0, mapPORT = 0, snACTIVE = 1, snBARCODE = 0;
    qint32 snEXTENDER = 0;
    QString snFORMAT = u"AB-####"_s;
    qint16 snLENGTH = 7, autoMEASURE = 0;
    float autoTIME = 2.5f;
    qint16 reqRANDR = 0;
    QString snGOOD, snBAD;
};

struct Ports
{
    db::PortArray<qint16> mapNUM{}, UOM{}, unitSCALE{}, acTIVE{}, numAVG{}, mspeed{}, Range{}, ssON{},
        ssREQD{};
    db::PortArray<float> minSPEC{}, maxSPEC{}, timeDELAY{}, ssTOL{}, ssMAXT{};
    db::PortArray<QString> portNAME{};
};

void readInfo(Program& op, const QString& pn, PnFields& f, qint16& iERROR)
{
    using D = db::Database;
    op(&D::SQL_readPNinfo, u"snPN"_s, pn, f.snNAME, f.pnDEFAULT, f.mapPORT, f.snACTIVE, f.snBARCODE,
       f.snEXTENDER, f.snFORMAT, f.snLENGTH, f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD,
       iERROR);
}

void readPorts(Program& op, qint16 map, qint16& numPORTS, Ports& x)
{
    op(&db::Database::SQL_readPORTinfo, u"portCONFIG"_s, map, numPORTS, x.mapNUM, x.portNAME, x.UOM,
       x.unitSCALE, x.acTIVE, x.minSPEC, x.maxSPEC, x.timeDELAY, x.numAVG, x.mspeed, x.Range, x.ssON, x.ssTOL,
       x.ssMAXT, x.ssREQD);
}

void writeInfo(Program& op, const QString& table, const QString& pn, const PnFields& f, qint16& map,
               qint16& iERROR)
{
    QString newPN = pn;
    op(&db::Database::SQL_writeinfo, table, pn, newPN, f.snNAME, f.pnDEFAULT, f.snACTIVE, f.snBARCODE,
       f.snEXTENDER, f.snFORMAT, f.snLENGTH, f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD, map,
       iERROR);
}

// One save of the record `pn`, its description alternating so that every save changes the row.
qint16 saveRecord(Program& op, const QString& table, const QString& pn, int r)
{
    PnFields f;
    f.snNAME = r % 2 ? u"Part b"_s : u"Part a"_s;
    qint16 map = 0, iERROR = 0;
    writeInfo(op, table, pn, f, map, iERROR);
    return iERROR;
}

void writePorts(Program& op, qint16 map, const Ports& x, qint16& iERROR)
{
    op(&db::Database::SQL_writePORTinfo, u"portCONFIG"_s, map, qint16(49), x.mapNUM, x.portNAME, x.UOM,
       x.unitSCALE, x.acTIVE, x.minSPEC, x.maxSPEC, x.timeDELAY, x.numAVG, x.mspeed, x.Range, x.ssON, x.ssTOL,
       x.ssMAXT, x.ssREQD, iERROR);
}

// ---- The floor's side ------------------------------------------------------

const char* pnColumns[] = {"snNAME",     "pnDEFAULT", "mapPORT",  "snACTIVE",    "snBARCODE",
                           "snEXTENDER", "snFORMAT",  "snLENGTH", "autoMEASURE", "autoTIME",
                           "reqRANDR",   "snGOOD",    "snBAD"};
const char* portColumns[] = {"mapNUM",    "portNAME", "UOM",     "unitSCALE", "acTIVE",
                             "Range",     "minSPEC",  "maxSPEC", "numAVG",    "mspeed",
                             "timeDELAY", "ssON",     "ssTOL",   "ssMAXT",    "ssREQD"};

// Reads one part-number record the way SQL_readPNinfo does: every field of the first row.
bool floorReadInfo(const RawServer& s, const std::string& pn, long long* id = nullptr)
{
    RawConnection c(s);
    RawStatement q(c, "SELECT * FROM `snPN` WHERE partNUM=?");
    if (!q.ok() || !q.execute({pn}) || !q.fetch())
        return false;
    double sum = 0;
    std::string texts;
    for (const char* col : pnColumns) {
        const int i = q.column(col);
        if (i < 0 || q.isNull(i))
            return false;
        if (col[0] == 's' && (col[2] == 'N' || col[2] == 'F' || col[2] == 'G' || col[2] == 'B'))
            texts += q.text(i);
        else
            sum += q.number(i);
    }
    if (id)
        *id = static_cast<long long>(q.number(q.column("id")));
    while (q.fetch()) {
    }
    return sum >= 0;
}

// Reads a port map into 49 slots, the way SQL_readPORTinfo does.
bool floorReadPorts(const RawServer& s, long long map, std::vector<long long>* ids = nullptr)
{
    RawConnection c(s);
    RawStatement q(c, "SELECT * FROM `portCONFIG` WHERE mapPORT=?");
    if (!q.ok() || !q.execute({std::to_string(map)}))
        return false;
    std::vector<double> slots(49 * 15);
    std::vector<std::string> names(49);
    int idCol = q.column("id");
    while (q.fetch()) {
        const int k = int(q.number(q.column("mapNUM")));
        if (k < 1 || k > 49)
            return false;
        for (int j = 0; j < 15; ++j) {
            const int i = q.column(portColumns[j]);
            if (j == 1)
                names[size_t(k - 1)] = q.text(i);
            else
                slots[size_t((k - 1) * 15 + j)] = q.number(i);
        }
        if (ids)
            ids->push_back(static_cast<long long>(q.number(idCol)));
    }
    return true;
}

bool floorSave(const RawServer& s, const std::string& pn, int flip)
{
    long long id = 0;
    {
        RawConnection c(s);
        RawStatement q(c, "SELECT * FROM `snPN` WHERE partNUM=?");
        if (!q.ok() || !q.execute({pn}) || !q.fetch())
            return false;
        id = static_cast<long long>(q.number(q.column("id")));
        while (q.fetch()) {
        }
        RawStatement u(c, "UPDATE `snPN` SET `snNAME`=?,`pnDEFAULT`=?,`snACTIVE`=?,`snVALID`=?,`snBARCODE`=?,"
                          "`snFORMAT`=?,`snLENGTH`=?,`autoMEASURE`=?,`autoTIME`=?,`reqRANDR`=?,`snGOOD`=?,"
                          "`snBAD`=? WHERE `id` <=> ?");
        if (!u.execute({std::string(flip ? "Part b" : "Part a"), 0LL, 1LL, 0LL, 0LL, std::string("AB-####"),
                        7LL, 0LL, 2.5, 0LL, std::string(), std::string(), id}) ||
            u.affected() != 1)
            return false;
    }
    RawConnection c(s);
    std::vector<long long> ids;
    {
        RawStatement q(c, "SELECT * FROM `portCONFIG` WHERE mapPORT=?");
        if (!q.ok() || !q.execute({std::string("1")}))
            return false;
        const int idCol = q.column("id");
        while (q.fetch())
            ids.push_back(static_cast<long long>(q.number(idCol)));
    }
    // The rows that differ (all of them: each save flips the minimum) in one statement by their key.
    std::string cases;
    std::vector<Param> params;
    for (long long rowId : ids) {
        cases += " WHEN ? THEN ?";
        params.push_back(rowId);
        params.push_back(double(float(flip ? 0.25 : 0.5)));
    }
    std::string in;
    for (long long rowId : ids) {
        in += in.empty() ? "?" : ",?";
        params.push_back(rowId);
    }
    RawStatement u(c, "UPDATE `portCONFIG` SET `minSPEC`=CASE `id`" + cases +
                          " ELSE `minSPEC` END WHERE `id` IN (" + in + ")");
    return u.ok() && u.execute(params) && u.affected() == ids.size();
}

// The walk of SQL_updatePN: the rows that can equal the old part number, compared exactly here.
bool floorUpdatePN(const RawServer& s, const std::string& pn, long long valid)
{
    RawConnection c(s);
    long long id = -1;
    {
        RawStatement q(c, "SELECT * FROM `snPN` USE INDEX () WHERE `partNUM` = ? OR `partNUM` IS NULL");
        if (!q.ok() || !q.execute({pn}))
            return false;
        const int col = q.column("partNUM");
        while (q.fetch())
            if (id < 0 && !q.isNull(col) && q.text(col) == pn)
                id = static_cast<long long>(q.number(q.column("id")));
    }
    if (id < 0)
        return false;
    RawStatement u(c, "UPDATE `snPN` SET `snVALID`=? WHERE `id` <=> ?");
    return u.execute({valid, id}) && u.affected() == 1;
}

// The walk of SQL_writePNdef: every row that may not read as 0, each with the mark saved as 0.
bool floorWritePNdef(const RawServer& s)
{
    RawConnection c(s);
    std::vector<long long> ids;
    {
        RawStatement q(c,
                       "SELECT * FROM `snPN` USE INDEX () WHERE NOT (CAST(`pnDEFAULT` AS BINARY) <=> '0')");
        if (!q.ok() || !q.execute())
            return false;
        const int col = q.column("pnDEFAULT");
        const int idCol = q.column("id");
        while (q.fetch())
            if (q.number(col) == 1)
                ids.push_back(static_cast<long long>(q.number(idCol)));
    }
    RawStatement u(c, "UPDATE `snPN` SET `pnDEFAULT`=? WHERE `id` <=> ?");
    for (long long id : ids)
        if (!u.execute({0LL, id}))
            return false;
    return true;
}

// A save in a table without a key: the row found by every fetched value, through the part number's index.
bool floorSaveKeyless(const RawServer& s, const std::string& pn, int flip)
{
    RawConnection c(s);
    std::vector<Param> row;
    std::vector<std::string> names;
    {
        RawStatement q(c, "SELECT * FROM `snPN_nokey` WHERE partNUM=?");
        if (!q.ok() || !q.execute({pn}) || !q.fetch())
            return false;
        for (int i = 0; i < q.columns(); ++i) {
            row.push_back(q.value(i));
            names.push_back(q.name(i));
        }
        while (q.fetch()) {
        }
    }
    std::string where;
    std::vector<Param> params{std::string(flip ? "Part b" : "Part a")};
    for (size_t i = 0; i < row.size(); ++i) {
        if (!where.empty())
            where += " AND ";
        const std::string col = "`" + names[i] + "`";
        if (std::holds_alternative<std::string>(row[i])) {
            where += col + " = ? AND CAST(CONVERT(" + col + " USING utf8mb4) AS BINARY) = CAST(? AS BINARY)";
            params.push_back(row[i]);
        } else {
            where += col + " = ?";
        }
        params.push_back(row[i]);
    }
    RawStatement u(c, "UPDATE `snPN_nokey` SET `snNAME`=? WHERE " + where + " LIMIT 1");
    return u.ok() && u.execute(params) && u.affected() == 1;
}

// ---- Measuring --------------------------------------------------------------

struct Case
{
    std::string name;
    double goal; // the ratio it must stay within
    int reps;
    std::function<void(int rep)> program;
    std::function<bool(int rep)> floor;
    std::function<void(int rep)> before; // untimed set-up of each repetition
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Result
{
    std::string name;
    double program;
    double floor;
    double goal;
    std::string unit = "ms";
};

Result run(const Case& c)
{
    std::vector<double> p, f;
    QElapsedTimer clock;
    const auto program = [&](int r) {
        if (c.before)
            c.before(r);
        clock.start();
        c.program(r);
        p.push_back(double(clock.nsecsElapsed()) / 1e6);
    };
    const auto floor = [&](int r) {
        if (c.before)
            c.before(r);
        clock.start();
        if (!c.floor(r))
            die("floor failed: " + c.name);
        f.push_back(double(clock.nsecsElapsed()) / 1e6);
    };
    // Alternately first, so that neither side always meets what the other left behind.
    for (int r = 0; r < c.reps; ++r) {
        if (r % 2 == 0) {
            program(r);
            floor(r);
        } else {
            floor(r);
            program(r);
        }
    }
    std::fprintf(stderr, "  %s\n", c.name.c_str());
    return {c.name, median(p), median(f), c.goal};
}

// Peak resident memory of one child process doing one operation, in MB.
double peakOf(const std::string& what, const std::string& database, const char* self)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string plain = std::to_string(g.plainPort);
        execl(self, self, "--child", what.c_str(), "--db", database.c_str(), "--plain-port", plain.c_str(),
              "--user", g.user.c_str(), "--password", g.password.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage
    {
    };
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        die("child failed: " + what);
    return double(usage.ru_maxrss) / 1024.0;
}

int childMain()
{
    if (g.child == "list-program") {
        Program op(profile(g.plainPort, g.database));
        db::PnList list;
        qint16 num = 0;
        op(&db::Database::SQL_readPNlist, u"snPN"_s, list, num);
        return num > 0 ? 0 : 1;
    }
    if (g.child == "list-floor") {
        RawConnection c(raw(g.plainPort, g.database));
        RawStatement q(c, "SELECT * FROM `snPN`");
        if (!q.ok() || !q.execute())
            return 1;
        long n = 0;
        std::vector<std::string> names;
        while (q.fetch())
            if (++n <= 100)
                names.push_back(q.text(q.column("partNUM")));
        return n > 0 ? 0 : 1;
    }
    if (g.child == "idle") {
        Program op(profile(g.plainPort, g.database));
        db::Connection c(op.p);
        return c.open() ? 0 : 1;
    }
    return 2;
}

std::vector<Case> cases(const std::string& small, const std::string& large)
{
    std::vector<Case> out;
    const RawServer smallRaw = raw(g.plainPort, small);
    const RawServer largeRaw = raw(g.plainPort, large);
    const int bigReps = std::max(3, g.reps / 2);
    const std::string lastPN = pnName(g.largeRows);

    out.push_back({"connect + close",
                   1.5,
                   g.reps * 2,
                   [=](int) {
                       db::Connection c(profile(g.plainPort, small));
                       if (!c.open())
                           die("connect failed: " + c.errorText().toStdString());
                   },
                   [=](int) { return RawConnection(smallRaw).ok(); },
                   {}});
    for (const auto& [label, database, rs, reps, rows] :
         {std::tuple{"SQL_readPNlist, 100 records", small, smallRaw, g.reps, 100L},
          std::tuple{"SQL_readPNlist, 100,000 records", large, largeRaw, bigReps, long(g.largeRows)}}) {
        out.push_back({label,
                       1.5,
                       reps,
                       [=](int) {
                           Program op(profile(g.plainPort, database));
                           db::PnList list;
                           qint16 num = 0;
                           op(&db::Database::SQL_readPNlist, u"snPN"_s, list, num);
                           // The count is an Integer: a larger table ends the walk at its largest value.
                           if (num != std::min(rows, 32767L) ||
                               list[100] != QString::fromStdString(pnName(100)))
                               die("SQL_readPNlist did not read every row");
                       },
                       [=](int) {
                           RawConnection c(rs);
                           RawStatement q(c, "SELECT * FROM `snPN`");
                           if (!q.ok() || !q.execute())
                               return false;
                           long n = 0;
                           std::vector<std::string> names;
                           while (q.fetch())
                               if (++n <= 100)
                                   names.push_back(q.text(q.column("partNUM")));
                           return n > 0;
                       },
                       {}});
    }
    out.push_back({"load (SQL_readPNinfo + SQL_readPORTinfo, 49 ports)",
                   1.5,
                   g.reps,
                   [=](int) {
                       Program op(profile(g.plainPort, small));
                       PnFields f;
                       qint16 iERROR = 0, numPORTS = 49;
                       Ports x;
                       readInfo(op, u"PN-000001"_s, f, iERROR);
                       readPorts(op, 1, numPORTS, x);
                   },
                   [=](int) { return floorReadInfo(smallRaw, "PN-000001") && floorReadPorts(smallRaw, 1); },
                   {}});
    out.push_back({"save (SQL_writeinfo + SQL_writePORTinfo, 49 changed)",
                   1.5,
                   g.reps,
                   [=](int r) {
                       Program op(profile(g.plainPort, small));
                       qint16 iERROR = saveRecord(op, u"snPN"_s, u"PN-000001"_s, r);
                       Ports x;
                       for (int i = 0; i < 49; ++i) {
                           x.portNAME[size_t(i)] = u"Port"_s;
                           x.minSPEC[size_t(i)] = r % 2 ? 0.25f : 0.5f;
                       }
                       writePorts(op, 1, x, iERROR);
                   },
                   [=](int r) { return floorSave(smallRaw, "PN-000001", (r + 1) % 2); },
                   {}});
    out.push_back({"SQL_updatePN, 100,000 records",
                   1.5,
                   bigReps,
                   [=](int r) {
                       Program op(profile(g.plainPort, large));
                       qint16 iERROR = 0;
                       op(&db::Database::SQL_updatePN, u"snPN"_s, QString::fromStdString(lastPN),
                          QString::fromStdString(lastPN), qint16(r % 2), iERROR);
                       if (iERROR != 0)
                           die("SQL_updatePN failed");
                   },
                   [=](int r) { return floorUpdatePN(largeRaw, lastPN, (r + 1) % 2); },
                   {}});
    out.push_back({"SQL_writePNdef, 100,000 records", 1.5, bigReps,
                   [=](int) {
                       Program op(profile(g.plainPort, large));
                       qint16 iERROR = 0;
                       op(&db::Database::SQL_writePNdef, u"snPN"_s, iERROR);
                       if (iERROR != 0)
                           die("SQL_writePNdef failed");
                   },
                   [=](int) { return floorWritePNdef(largeRaw); },
                   [=](int) {
                       RawConnection admin(largeRaw);
                       adminExec(admin,
                                 "UPDATE snPN SET pnDEFAULT = 1 WHERE id = " + std::to_string(g.largeRows));
                   }});
    out.push_back({"save of the last record, keyless 100,000-record table",
                   2.0,
                   g.reps,
                   [=](int r) {
                       Program op(profile(g.plainPort, large));
                       if (saveRecord(op, u"snPN_nokey"_s, QString::fromStdString(lastPN), r) != 0)
                           die("keyless SQL_writeinfo failed");
                   },
                   [=](int r) { return floorSaveKeyless(largeRaw, lastPN, (r + 1) % 2); },
                   {}});
    if (g.tlsPort > 0 && !g.caFile.empty()) {
        const RawServer tlsRaw = raw(g.tlsPort, "", true);
        {
            RawConnection probe(tlsRaw);
            if (!probe.ok() || probe.cipher().empty())
                die("the floor's TLS connection is not encrypted");
            db::Connection program(profile(g.tlsPort, "", true));
            if (!program.open())
                die("the program's TLS connection with the site CA failed");
            // The session's own word on its cipher.
            MYSQL* m = program.handle();
            MYSQL_RES* res = mysql_query(m, "SHOW SESSION STATUS LIKE 'Ssl_cipher'") == 0
                                 ? mysql_store_result(m)
                                 : nullptr;
            MYSQL_ROW row = res ? mysql_fetch_row(res) : nullptr;
            g.programCipher = row && row[1] ? row[1] : "";
            if (res)
                mysql_free_result(res);
            if (g.programCipher.empty())
                die("the program's TLS connection is not encrypted");
        }
        out.push_back({"TLS connect + close, site CA file named (floor: one CA file)",
                       2.0,
                       g.reps,
                       [=](int) {
                           db::Connection c(profile(g.tlsPort, "", true));
                           if (!c.open())
                               die("TLS connect failed: " + c.errorText().toStdString());
                       },
                       [=](int) { return RawConnection(tlsRaw).ok(); },
                       {}});
        // Without a site CA nothing is verified, and the client library reads the system's
        // whole CA bundle on every connect: shown for what it costs, with no goal.
        out.push_back({"TLS connect + close, no site CA (no certificate check)",
                       1e9,
                       g.reps,
                       [=](int) {
                           db::Connection c(profile(g.tlsPort, ""));
                           if (!c.open())
                               die("TLS connect failed: " + c.errorText().toStdString());
                       },
                       [=](int) { return RawConnection(tlsRaw).ok(); },
                       {}});
    }
    // Rows of the editor's handlers (sign-in to editor ready, a PN load as the editor does it,
    // UPDATE, CREATE, DELETE, export of a 49-port PN) are added here as cases of their own.
    return out;
}

bool parse(int argc, char** argv)
{
    std::map<std::string, std::string*> text{{"--user", &g.user},   {"--password", &g.password},
                                             {"--ca", &g.caFile},   {"--child", &g.child},
                                             {"--db", &g.database}, {"--host", &g.host}};
    std::map<std::string, unsigned*> numbers{{"--plain-port", &g.plainPort}, {"--tls-port", &g.tlsPort}};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (auto t = text.find(key); t != text.end())
            *t->second = argv[i + 1];
        else if (auto n = numbers.find(key); n != numbers.end())
            *n->second = unsigned(std::stoul(argv[i + 1]));
        else if (key == "--reps")
            g.reps = std::stoi(argv[i + 1]);
        else if (key == "--large")
            g.largeRows = std::stoi(argv[i + 1]);
        else
            return false;
    }
    return g.plainPort > 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!parse(argc, argv)) {
        std::fprintf(stderr, "usage: zelmar_bench --plain-port P [--tls-port T --ca cert.pem] --user U "
                             "--password PW [--reps N] [--large ROWS]\n");
        return 2;
    }
    if (!g.child.empty())
        return childMain();

    const std::string small = "zb_small_" + std::to_string(getpid());
    const std::string large = "zb_large_" + std::to_string(getpid());
    std::fprintf(stderr, "seeding 100 and %d records...\n", g.largeRows);
    seed(g.plainPort, small, 100);
    seed(g.plainPort, large, g.largeRows);

    std::vector<Result> results;
    std::fprintf(stderr, "measuring (%d repetitions, medians)...\n", g.reps);
    for (const Case& c : cases(small, large))
        results.push_back(run(c));
    const double idle = peakOf("idle", small, argv[0]);
    results.push_back({"peak memory reading a 100,000-record list", peakOf("list-program", large, argv[0]),
                       peakOf("list-floor", large, argv[0]), 2.0, "MB"});

    std::printf("| operation | program | raw client | ratio | goal |\n|---|---|---|---|---|\n");
    bool allMet = true;
    for (const Result& r : results) {
        const double ratio = r.floor > 0 ? r.program / r.floor : 0;
        const bool met = ratio <= r.goal;
        allMet = allMet && met;
        if (r.goal >= 1e9)
            std::printf("| %s | %.2f %s | %.2f %s | %.2f | none |\n", r.name.c_str(), r.program,
                        r.unit.c_str(), r.floor, r.unit.c_str(), ratio);
        else
            std::printf("| %s | %.2f %s | %.2f %s | %.2f | %s %.1fx |\n", r.name.c_str(), r.program,
                        r.unit.c_str(), r.floor, r.unit.c_str(), ratio, met ? "within" : "OVER", r.goal);
    }
    std::printf("\nPeak memory of a process that only connects: %.0f MB (both columns include it).\n", idle);
    if (!g.programCipher.empty())
        std::printf("The program's TLS sessions use %s; with the site CA named, the server's certificate is "
                    "verified.\n",
                    g.programCipher.c_str());
    drop(g.plainPort, small);
    drop(g.plainPort, large);
    return allMet ? 0 : 3;
}
