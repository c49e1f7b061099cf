// The whole part-number list: every name of the table, read in one walk and held sorted, so
// that the editor can show any 100 of them and find any of them without asking the server.
#include "PartNumberList.h"

#include "Database.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace zelmar::db {

void PartNumberNames::clear()
{
    m_bytes.clear();
    m_ends.clear();
}

void PartNumberNames::append(const QString& name)
{
    m_bytes.append(name.toUtf8());
    m_ends.append(quint32(m_bytes.size()));
}

QByteArrayView PartNumberNames::view(qsizetype i) const
{
    const quint32 start = i > 0 ? m_ends[i - 1] : 0;
    return QByteArrayView(m_bytes.constData() + start, qsizetype(m_ends[i] - start));
}

QString PartNumberNames::at(qsizetype i) const
{
    return QString::fromUtf8(view(i));
}

void PartNumberNames::sort()
{
    std::vector<QByteArrayView> order;
    order.reserve(std::size_t(size()));
    for (qsizetype i = 0; i < size(); ++i)
        order.push_back(view(i));
    // Byte order of UTF-8 is the order of the character codes.
    std::sort(order.begin(), order.end());
    QByteArray bytes;
    bytes.reserve(m_bytes.size());
    QList<quint32> ends;
    ends.reserve(size());
    for (const QByteArrayView name : order) {
        bytes.append(name);
        ends.append(quint32(bytes.size()));
    }
    m_bytes = std::move(bytes);
    m_ends = std::move(ends);
}

qsizetype PartNumberNames::lowerBound(const QString& name) const
{
    const QByteArray key = name.toUtf8();
    qsizetype low = 0, high = size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (view(middle) < key)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

QList<qsizetype> PartNumberNames::find(const QString& part, qsizetype limit, qsizetype& total) const
{
    // A UTF-8 text occurs in another's bytes exactly where its characters occur.
    const QByteArray needle = part.toUtf8();
    QList<qsizetype> found;
    total = 0;
    for (qsizetype i = 0; i < size(); ++i) {
        if (view(i).contains(needle)) {
            if (found.size() < limit)
                found.append(i);
            ++total;
        }
    }
    return found;
}

qsizetype PartNumberNames::bytesHeld() const
{
    return m_bytes.capacity() + m_ends.capacity() * qsizetype(sizeof(quint32));
}

void Database::SQL_readPNnames(const QString& server, const QString& database, const QString& user,
                               const QString& password, const QString& table, PartNumberNames& names,
                               qint16& iERROR)
{
    // The rows stream past and only their part numbers stay. As with the list of 100, no
    // error record: a failure leaves the names as far as they got (none when the query could
    // not be opened: then the names as the caller had them), and iERROR 1.
    iERROR = 1;
    Session session(profile(server, database, user, password), m_timeouts);
    Query partNumbers = wholeTable(table);
    partNumbers.column = u"partNUM"_s;
    if (!session.openStream(partNumbers))
        return;
    names.clear();
    Recordset& rs = session.rows();
    bool whole = true;
    // No first row: an empty table (a stream cannot tell it from a failure at that row).
    if (rs.moveFirst()) {
        QString name;
        while (!rs.eof() && rs.readText(u"partNUM"_s, name)) {
            names.append(name);
            rs.moveNext();
        }
        // A row that could not be read or fetched ends the walk and leaves its error.
        whole = rs.errorText().isEmpty();
    }
    names.sort();
    iERROR = whole ? 0 : 1;
}

} // namespace zelmar::db
