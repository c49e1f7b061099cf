#include "Adapters.h"

#include <QNetworkInterface>

using namespace Qt::StringLiterals;

namespace zelmar {

QString TrimNULL(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

QString MACstring(const QByteArray& address)
{
    QStringList parts;
    for (int i = 0; i < 6; ++i) {
        const uchar byte = i < address.size() ? uchar(address.at(i)) : 0;
        parts.append(QString::number(byte, 16).toUpper().rightJustified(2, u'0'));
    }
    return parts.join(u'-');
}

QString adapterListing(const QList<AdapterRecord>& records)
{
    if (records.isEmpty())
        return QString();
    const QString crlf = u"\r\n"_s;
    QString text = QString::number(records.size()) + u" Adapter(s):"_s + crlf;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const AdapterRecord& record = records.at(i);
        if (!record.ethernet)
            continue;
        text += crlf + u'[' + QString::number(i) + u"] "_s + TrimNULL(record.description) + crlf + u'\t' +
                MACstring(record.address) + crlf;
    }
    return text;
}

namespace {
// "AA:BB:CC:DD:EE:FF" (or any other length) to its bytes.
QByteArray addressBytes(const QString& text)
{
    QByteArray out;
    const QStringList parts = text.split(u':', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok || byte > 0xFF)
            return QByteArray();
        out.append(char(byte));
    }
    return out;
}
} // namespace

QList<AdapterRecord> hostAdapters()
{
    QList<AdapterRecord> out;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        if (iface.type() == QNetworkInterface::Loopback ||
            iface.flags().testFlag(QNetworkInterface::IsLoopBack))
            continue;
        AdapterRecord record;
        record.description = iface.humanReadableName();
        record.address = addressBytes(iface.hardwareAddress());
        record.ethernet = iface.type() == QNetworkInterface::Ethernet;
        out.append(record);
    }
    return out;
}

QString GetMACadr()
{
    return adapterListing(hostAdapters());
}

} // namespace zelmar
