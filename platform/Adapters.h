#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zelmar {

// One record of the adapter walk.
struct AdapterRecord
{
    QString description; // the adapter's description; TrimNULL cuts it at its first NUL
    QByteArray address;  // the hardware address, byte by byte
    bool ethernet = false;
};

// The text up to its first NUL character (all of it when there is none).
QString TrimNULL(const QString& text);

// Bytes 0 to 5 as upper-case two-digit hexadecimal joined by "-"; a position
// past the end of the array shows as "00".
QString MACstring(const QByteArray& address);

// The listing over the given records, in their order: the empty
// text for no records, else n & " Adapter(s):" & CR LF, then for each
// Ethernet record at index i: CR LF, "[i] ", description, CR LF, tab,
// address, CR LF. Records of other kinds count in i but are not listed.
QString adapterListing(const QList<AdapterRecord>& records);

// Every network interface of the host except loopback ones, in Qt's order;
// the description is the interface's name.
QList<AdapterRecord> hostAdapters();

// GetMACadr: the listing of the host's adapters.
QString GetMACadr();

} // namespace zelmar
