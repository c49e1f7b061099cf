// Time of one export of a 49-port part number: the sheet built and the whole workbook
// written and put in place. Run: bench_export [folder [ports]]; the last workbook is left
// in the folder (the user's temporary folder by default).
#include "ExportSupport.h"
#include "WorkbookSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

using namespace zelmar;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int ports = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 49;
    QTextStream out(stdout);
    test::FakeViewer viewer;
    constexpr int runs = 20;
    qint64 total = 0, slowest = 0;
    for (int i = 0; i < runs; ++i) {
        if (!viewer.opened.isEmpty())
            QFile::remove(viewer.opened.takeLast());
        WorkbookSession session(&viewer, folder);
        QElapsedTimer clock;
        clock.start();
        if (!session.exportSummary(test::samplePart(ports))) {
            out << "export failed: " << session.errorString() << '\n';
            return 1;
        }
        const qint64 ns = clock.nsecsElapsed();
        total += ns;
        slowest = std::max(slowest, ns);
    }
    out << "one export of a " << ports << "-port PN: mean " << total / runs / 1000 << " us, slowest "
        << slowest / 1000 << " us over " << runs << " runs; last workbook " << viewer.opened.value(0) << '\n';
    return 0;
}
