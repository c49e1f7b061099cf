#pragma once

#include <QUrl>
#include <QtGlobal>

namespace zelmar {

// checkINTERNET: tells whether the Internet can be reached.
class InternetProbe
{
public:
    virtual ~InternetProbe() = default;
    // Sets connected to 1 when reachable, 0 when not; any failure gives 0.
    virtual void checkINTERNET(qint16& connected) = 0;
};

// The real probe: a GET of a large public site's home page, bounded in time,
// answered in a nested event loop. Any HTTP answer, whatever its status, counts
// as reachable; no answer within the bound, or a network error, as not. The
// proxy is whatever the system and Qt use by default: the program sets none.
class HttpInternetProbe : public InternetProbe
{
public:
    static QUrl defaultUrl();
    explicit HttpInternetProbe(const QUrl& url = defaultUrl(), int timeoutMs = 5000);
    void checkINTERNET(qint16& connected) override;

private:
    QUrl m_url;
    int m_timeoutMs;
};

} // namespace zelmar
