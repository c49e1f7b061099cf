#include "WorkbookApplication.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace zelmar {

std::optional<bool> desktopOpensWorkbooks(const QString& xdgMime)
{
    QProcess query;
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(xdgMime, {u"query"_s, u"default"_s,
                          u"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"_s});
    // A local lookup answers at once; one that hangs must not hold the window for long.
    if (!query.waitForFinished(10000)) {
        query.kill();
        query.waitForFinished(1000);
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return std::nullopt;
    // The answer is the desktop file of the application; nothing when there is none.
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace zelmar
