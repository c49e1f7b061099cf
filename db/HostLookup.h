#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace zelmar::db {

// The address to connect to for `host`, looked up within `limit`: the client
// library's own lookup has no bound. An address literal and "localhost" (which
// the client library takes as its local socket) come back as they are. None
// when the name cannot be resolved in time or at all.
std::optional<QString> lookUpHost(const QString& host, std::chrono::milliseconds limit);

} // namespace zelmar::db
