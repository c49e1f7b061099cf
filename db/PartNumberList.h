#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zelmar::db {

// Every part number of a table, held as compactly as the names allow: their UTF-8 bytes one
// after another and one end offset each, so that 100,000 names cost little more than their
// text. Sorted, the order is by character code (UTF-8 byte order is code point order), case
// counting. Copies share the data until one of them changes.
class PartNumberNames
{
public:
    void clear();
    // Names arrive in any order; sort() orders them once all are in.
    void append(const QString& name);
    void sort();

    qsizetype size() const { return m_ends.size(); }
    QString at(qsizetype i) const;
    // The index of the first name not below `name`; size() when all are below it.
    qsizetype lowerBound(const QString& name) const;
    // The indexes of the names that contain `part` exactly (case counts), in order, at most
    // `limit` of them; `total` counts every such name.
    QList<qsizetype> find(const QString& part, qsizetype limit, qsizetype& total) const;
    // The bytes held for the names.
    qsizetype bytesHeld() const;

private:
    QByteArrayView view(qsizetype i) const;

    QByteArray m_bytes;
    QList<quint32> m_ends;
};

} // namespace zelmar::db
