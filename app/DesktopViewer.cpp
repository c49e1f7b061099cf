#include "DesktopViewer.h"

#include "WorkbookApplication.h"

#include <QDesktopServices>
#include <QUrl>

namespace zelmar {

bool DesktopViewer::hasApplication()
{
    // A desktop that cannot be asked is left to the launcher's own answer.
    return desktopOpensWorkbooks().value_or(true);
}

bool DesktopViewer::open(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zelmar
