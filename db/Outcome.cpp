#include "Outcome.h"

#include "Database.h"

namespace zelmar::db {

Outcome findOutcome(const Profile& profile, const Timeouts& timeouts, const Query& query,
                    const std::function<std::optional<bool>(Recordset&)>& holds)
{
    Session session(profile, timeouts);
    if (!session.openAfterLostAnswer(query))
        return Outcome::Unknown;
    const std::optional<bool> held = holds(session.rows());
    if (!held)
        return Outcome::Unknown;
    return *held ? Outcome::Done : Outcome::NotDone;
}

} // namespace zelmar::db

namespace zelmar::db {

bool holdsText(Recordset& rs, const QString& column, const QString& value)
{
    QString stored;
    return rs.readText(column, stored) && stored == value;
}

bool holdsInt16(Recordset& rs, const QString& column, qint16 value)
{
    qint16 stored = 0;
    return rs.readInt16(column, stored) && stored == value;
}

bool holdsSingle(Recordset& rs, const QString& column, float value)
{
    float stored = 0;
    return rs.readSingle(column, stored) && stored == value;
}

bool anyRow(Recordset& rs, const std::function<bool(Recordset&)>& match)
{
    if (!rs.moveFirst())
        return false;
    for (; !rs.eof(); rs.moveNext()) {
        if (match(rs))
            return true;
    }
    return false;
}

} // namespace zelmar::db
