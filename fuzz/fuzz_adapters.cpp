// The adapter listing of the sign-in window.
//
// Properties: no records give the empty text; otherwise the heading counts every
// record, each Ethernet record is listed once under its own index with its
// description cut at the first NUL, and every address shows as six hex pairs.

#include "Adapters.h"
#include "FuzzInput.h"

#include <QRegularExpression>

using namespace zelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    QList<AdapterRecord> records;
    const int n = in.byte() % 12;
    for (int i = 0; i < n; ++i) {
        AdapterRecord r;
        r.ethernet = in.byte() % 2;
        r.description = in.text(40);
        const int bytes = in.byte() % 10;
        for (int b = 0; b < bytes; ++b)
            r.address.append(char(in.byte()));
        records.append(r);
    }
    const QString listing = adapterListing(records);
    if (records.isEmpty()) {
        ZELMAR_FUZZ_CHECK(listing.isEmpty());
        return 0;
    }
    const QString heading = QString::number(records.size()) + QStringLiteral(" Adapter(s):\r\n");
    ZELMAR_FUZZ_CHECK(listing.startsWith(heading));
    static const QRegularExpression mac(QStringLiteral("^[0-9A-F]{2}(-[0-9A-F]{2}){5}$"));
    qsizetype at = heading.size();
    for (qsizetype i = 0; i < records.size(); ++i) {
        const AdapterRecord& r = records.at(i);
        const QString address = MACstring(r.address);
        ZELMAR_FUZZ_CHECK(mac.match(address).hasMatch());
        if (!r.ethernet)
            continue;
        const QString description = TrimNULL(r.description);
        ZELMAR_FUZZ_CHECK(!description.contains(QChar(u'\0')));
        ZELMAR_FUZZ_CHECK(r.description.startsWith(description));
        const QString entry = QStringLiteral("\r\n[") + QString::number(i) + QStringLiteral("] ") +
                              description + QStringLiteral("\r\n\t") + address + QStringLiteral("\r\n");
        ZELMAR_FUZZ_CHECK(listing.mid(at, entry.size()) == entry);
        at += entry.size();
    }
    ZELMAR_FUZZ_CHECK(at == listing.size());
    return 0;
}
