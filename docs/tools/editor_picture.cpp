// Draws the editor with a sample part number loaded into a PNG, for the README: the
// window as the program shows it, on the offscreen platform. Run by scripts/editor-picture.
#include "EditorOnDb.h"

#include <QApplication>
#include <QComboBox>
#include <QPixmap>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: editor_picture OUT.png\n");
        return 2;
    }
    zelmar::test::EditorOnDb e(8, {u"customer.sql"_s, u"sample-customer.sql"_s});
    if (!e.ok()) {
        std::fprintf(stderr, "no test server: %s\n", qPrintable(e.tdb.error()));
        return 1;
    }
    e.list();
    if (!e.load(u"RB-7000-X"_s)) {
        std::fprintf(stderr, "the sample part number did not load\n");
        return 1;
    }
    zelmar::FormMainTestMenu* w = e.w.get();
    w->lstPORT->setCurrentIndex(2);
    w->txtStatus->setText(u"Part Number [RB-7000-X] was loaded"_s);
    w->show();
    QCoreApplication::processEvents();
    return w->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
