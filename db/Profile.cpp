#include "Profile.h"

using namespace Qt::StringLiterals;

namespace zelmar::db {

ServerAddress parseServer(const QString& server)
{
    ServerAddress out;
    QString host = server.trimmed();
    QString port;
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0)
            return out;
        const QString rest = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return out;
            port = rest.mid(1);
        }
    } else if (host.count(u':') == 1) {
        const qsizetype colon = host.indexOf(u':');
        port = host.mid(colon + 1);
        host = host.left(colon);
    }
    if (host.isEmpty())
        return out;
    out.host = host;
    if (!port.isNull()) {
        bool ok = false;
        const int p = port.toInt(&ok);
        if (!ok || p < 1 || p > 65535)
            return out;
        out.port = p;
    }
    out.valid = true;
    return out;
}

} // namespace zelmar::db
