#include "HostLookup.h"

#include <QHostAddress>
#include <QHostInfo>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace zelmar::db {

std::optional<QString> lookUpHost(const QString& host, std::chrono::milliseconds limit)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || !QHostAddress(host).isNull())
        return host;
    // The lookup runs on a thread of its own, which is left to finish by itself when
    // the limit is reached first; it owns its share of the result.
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        QString address;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, host] {
        const QHostInfo info = QHostInfo::fromName(host);
        QString address;
        for (const QHostAddress& a : info.addresses()) {
            // IPv4 first: a server that listens on IPv4 only is the common case.
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                address = a.toString();
                break;
            }
            if (address.isEmpty())
                address = a.toString();
        }
        std::lock_guard lock(shared->mutex);
        shared->address = address;
        shared->finished = true;
        shared->done.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, limit, [&] { return shared->finished; }) || shared->address.isEmpty())
        return std::nullopt;
    return shared->address;
}

} // namespace zelmar::db
