#include "DesktopViewer.h"

#include <QDesktopServices>
#include <QUrl>

namespace zelmar {

bool DesktopViewer::open(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zelmar
