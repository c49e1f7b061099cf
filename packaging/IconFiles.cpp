// Writes the program's icon files from its own mark: zelmar.svg and
// zelmar-<size>.png for each size given, into the folder given first.
// Run at build time; needs no display.
#include "Logo.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zelmar_icons FOLDER SIZE...\n");
        return 2;
    }
    const QDir folder(args[0]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "zelmar_icons: cannot create %s\n", qPrintable(args[0]));
        return 1;
    }
    // The family the sign-in window's mark uses; fontconfig finds its metric twin.
    const QString family = QStringLiteral("Arial");
    QFile svg(folder.filePath(QStringLiteral("zelmar.svg")));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(zelmar::makerLogoSvg(256, family).toUtf8()) < 0) {
        std::fprintf(stderr, "zelmar_icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    for (const QString& arg : args.mid(1)) {
        bool ok = false;
        const int side = arg.toInt(&ok);
        const QString name = folder.filePath(QStringLiteral("zelmar-%1.png").arg(arg));
        if (!ok || side < 8 || side > 1024 ||
            !zelmar::makerLogoImage(side, QFont(family)).save(name, "PNG")) {
            std::fprintf(stderr, "zelmar_icons: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
