#pragma once

#include <QString>

#include <optional>

namespace zelmar {

// Whether the desktop has a default application for .xlsx workbooks, as its own
// `xdg-mime query default` answers (which reads the user's and the system's
// associations the way the desktop's file opener does). nullopt when it cannot tell:
// `xdgMime` cannot be run, fails, or gives no answer in time.
std::optional<bool> desktopOpensWorkbooks(const QString& xdgMime = QStringLiteral("xdg-mime"));

} // namespace zelmar
