#include "InternetProbe.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace zelmar {

QUrl HttpInternetProbe::defaultUrl()
{
    // Plain HTTP, so that the answer depends on the network alone and not on a TLS back end.
    return QUrl(u"http://www.google.com/"_s);
}

HttpInternetProbe::HttpInternetProbe(const QUrl& url, int timeoutMs)
    : m_url(url)
    , m_timeoutMs(timeoutMs)
{}

void HttpInternetProbe::checkINTERNET(qint16& connected)
{
    connected = 0;
    if (!m_url.isValid() || QCoreApplication::instance() == nullptr)
        return;

    QNetworkAccessManager manager;
    QNetworkRequest request(m_url);
    // Reload from the server and keep nothing in a cache: a stale answer would hide a dead link.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(m_timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, u"Zelmar"_s);

    QPointer<QNetworkReply> reply = manager.get(request);
    bool answered = false;
    QEventLoop loop;
    // An answer is known as soon as the status line has arrived; the page itself is not needed.
    const auto lookAtAnswer = [&] {
        if (reply && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
            answered = true;
            loop.quit();
        }
    };
    QObject::connect(reply.data(), &QNetworkReply::metaDataChanged, &loop, lookAtAnswer);
    QObject::connect(reply.data(), &QNetworkReply::finished, &loop, [&] {
        lookAtAnswer();
        loop.quit();
    });
    // The transfer timeout does not cover every stage (name lookup); this bound does.
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(m_timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    else
        lookAtAnswer();
    bound.stop();

    if (reply) {
        reply->disconnect(&loop);
        reply->abort();
        delete reply.data();
    }
    connected = answered ? 1 : 0;
}

} // namespace zelmar
