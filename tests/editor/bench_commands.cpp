// Wall time of the editor's database actions on a 49-port part number, as the window
// runs them (pauses at zero length): a load, an UPDATE, a CREATE from the window's values
// and a DELETE. Not a test: run it by hand against the test server and read the figures.
#include "EditorOnDb.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    zelmar::test::EditorOnDb e(49);
    if (!e.ok() || !e.addPN(u"BENCH-1"_s, 1) || !e.addPorts(1, 49)) {
        std::fprintf(stderr, "no test server: %s\n", qPrintable(e.tdb.error()));
        return 1;
    }
    for (int i = 0; i < 98; ++i)
        e.addPN(u"FILL-%1"_s.arg(i, 3, 10, QChar(u'0')), 100 + i);
    e.list();
    zelmar::FormMainTestMenu* w = e.w.get();
    std::vector<double> load, update, create, remove;
    QElapsedTimer t;
    for (int r = 0; r < runs; ++r) {
        w->showNoPN();
        t.start();
        e.load(u"BENCH-1"_s);
        load.push_back(double(t.nsecsElapsed()) / 1e6);

        t.start();
        w->btnUPDATE_Click();
        update.push_back(double(t.nsecsElapsed()) / 1e6);

        e.dialogs.inputAnswers = {u"COPY-1"_s};
        e.dialogs.yesNoAnswers = {true};
        t.start();
        w->btnADD_Click();
        create.push_back(double(t.nsecsElapsed()) / 1e6);

        e.dialogs.yesNoAnswers = {true};
        t.start();
        w->btnDELETE_Click();
        remove.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("49-port PN, loopback, median of %d runs (ms)\n", runs);
    std::printf("load   %8.2f\nupdate %8.2f\ncreate %8.2f (includes loading the new PN)\ndelete %8.2f\n",
                median(load), median(update), median(create), median(remove));
    return 0;
}
