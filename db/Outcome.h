#pragma once

#include "Profile.h"
#include "Recordset.h"

#include <functional>
#include <optional>

namespace zelmar::db {

// What became of a write whose answer did not come back (the connection broke or
// the server refused after the statement went out): found out over a new
// connection, so that the operation reports what is true and its caller's second
// attempt does not do the work twice.
enum class Outcome
{
    Done,
    NotDone,
    Unknown, // the server could not be asked
};

// Opens `query` over a new connection and lets `holds` judge its rows: true when
// the write took effect, false when not, none when the rows cannot be read.
Outcome findOutcome(const Profile& profile, const Timeouts& timeouts, const Query& query,
                    const std::function<std::optional<bool>(Recordset&)>& holds);

} // namespace zelmar::db

namespace zelmar::db {

// Whether a column of the current row reads as exactly `value` (false when it cannot be read).
bool holdsText(Recordset& rs, const QString& column, const QString& value);
bool holdsInt16(Recordset& rs, const QString& column, qint16 value);
bool holdsSingle(Recordset& rs, const QString& column, float value);

// Walks the rows from the first; true when `match` holds for one of them.
bool anyRow(Recordset& rs, const std::function<bool(Recordset&)>& match);

} // namespace zelmar::db
