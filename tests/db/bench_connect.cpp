// Measures one connect + query + close through the data layer, plain and with
// TLS. Not a test: run it by hand against the servers scripts/test starts.
#include "Database.h"
#include "TestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace zelmar;

static void measure(const char* label, const test::ServerInfo& server)
{
    test::TestDatabase tdb(QStringList{u"customer.sql"_s}, server);
    if (!tdb.ok()) {
        std::printf("%s: no database (%s)\n", label, qPrintable(tdb.error()));
        return;
    }
    for (int i = 0; i < 8; ++i)
        tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES (?, ?)"_s,
                 QVariantList{QString(u"PN-"_s + QString::number(i)), i + 1});
    constexpr int rounds = 200;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i) {
        db::Session session(tdb.profile(), db::Timeouts{});
        if (!session.open(db::onePartNumber(u"snPN"_s, u"PN-3"_s)) || session.rows().recordCount() != 1) {
            std::printf("%s: query failed: %s\n", label, qPrintable(session.errorText()));
            return;
        }
    }
    std::printf("%s: %.2f ms per connect+query+close (%d rounds)\n", label,
                double(clock.nsecsElapsed()) / 1e6 / rounds, rounds);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    measure("plain", test::plainServer());
    measure("tls", test::tlsServer());
    return 0;
}
