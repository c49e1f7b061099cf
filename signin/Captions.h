#pragma once

#include "BuildInfo.h"

#include <QString>

namespace zelmar::signin {

// "V" & major & "." & minor & "." & revision, for this build V1.2.0.
inline QString versionTag()
{
    return u'V' + QString::number(build::versionMajor) + u'.' + QString::number(build::versionMinor) + u'.' +
           QString::number(build::versionRevision);
}

// The main window's caption, the first title the running-copy check looks for.
inline QString mainWindowCaption()
{
    return QStringLiteral("Zelmar™: ") + versionTag();
}

// The second title the running-copy check looks for.
inline QString legacyWindowCaption()
{
    return QStringLiteral("Zelmar™: Direct Database Access Program for Tarvik© Test Program");
}

} // namespace zelmar::signin
