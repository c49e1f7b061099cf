#include "SiteSettings.h"

#include "Profile.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace zelmar::signin {

namespace {

// A DNS name: labels of letters, digits, '-' (and '_', which resolvers accept
// on many sites), 1 to 63 characters each, 253 in all, one final dot allowed.
// A name whose last label is all digits is meant as an IPv4 address.
bool isHostName(const QString& host)
{
    static const QRegularExpression label(u"^[A-Za-z0-9_]([A-Za-z0-9_-]{0,61}[A-Za-z0-9_])?$"_s);
    QString name = host;
    if (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty() || name.size() > 253)
        return false;
    const QStringList labels = name.split(u'.');
    for (const QString& l : labels)
        if (!label.match(l).hasMatch())
            return false;
    static const QRegularExpression digits(u"^[0-9]+$"_s);
    return !digits.match(labels.last()).hasMatch();
}

bool isAddress(const QString& host, QAbstractSocket::NetworkLayerProtocol protocol)
{
    QHostAddress address;
    if (!address.setAddress(host) || address.protocol() != protocol)
        return false;
    // QHostAddress takes short IPv4 forms (10.1); a site writes all four parts.
    return protocol != QAbstractSocket::IPv4Protocol || host.count(u'.') == 3;
}

} // namespace

ServerValue checkServerValue(const QVariant& value)
{
    ServerValue out;
    // A comma in the file makes QSettings read a list.
    if (value.typeId() == QMetaType::QStringList) {
        out.problem = u"it holds several values"_s;
        return out;
    }
    const QString text = value.toString().trimmed();
    out.server = text;
    if (text.isEmpty()) {
        out.problem = u"it is empty"_s;
        return out;
    }

    // Host and port as the connection will split them.
    QString host = text;
    QString port;
    bool hasPort = false;
    bool bracketed = false;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        const QString rest = close < 0 ? QString() : text.mid(close + 1);
        if (close < 0 || (!rest.isEmpty() && !rest.startsWith(u':'))) {
            out.problem = u"an IPv6 address is written [address] or [address]:port"_s;
            return out;
        }
        host = text.mid(1, close - 1);
        hasPort = !rest.isEmpty();
        port = rest.mid(1);
        bracketed = true;
    } else if (text.count(u':') == 1) {
        const qsizetype colon = text.indexOf(u':');
        host = text.left(colon);
        port = text.mid(colon + 1);
        hasPort = true;
    }

    const bool ipv6 = bracketed || host.contains(u':');
    if (ipv6 ? !isAddress(host, QAbstractSocket::IPv6Protocol)
             : !(isAddress(host, QAbstractSocket::IPv4Protocol) || isHostName(host))) {
        out.problem = u"\""_s + host + u"\" is not a host name or an IP address"_s;
        return out;
    }
    if (hasPort) {
        static const QRegularExpression digits(u"^[0-9]+$"_s);
        if (!digits.match(port).hasMatch()) {
            out.problem = port.isEmpty() ? u"the port after the colon is missing"_s
                                         : u"the port \""_s + port + u"\" is not a number"_s;
            return out;
        }
        bool fits = false;
        const qlonglong number = port.toLongLong(&fits);
        if (!fits || number < 1 || number > 65535) {
            out.problem = u"the port "_s + port + u" is not between 1 and 65535"_s;
            return out;
        }
    }
    // What passes here, the connection reads the same way.
    if (!db::parseServer(text).valid) {
        out.problem = u"it is not a host or host:port"_s;
        return out;
    }
    out.ok = true;
    return out;
}

QStringList siteSettingsFiles()
{
    // QSettings' own order in system scope: the program's file in each
    // configuration folder, then the maker's file in each.
    QStringList dirs = qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts);
    if (dirs.isEmpty())
        dirs << u"/etc/xdg"_s;
    const QString org = QString::fromLatin1(siteOrganization);
    QStringList files;
    for (const QString& dir : dirs)
        files << QDir::cleanPath(dir + u'/' + org + u'/' + QString::fromLatin1(siteApplication) + u".conf"_s);
    for (const QString& dir : dirs)
        files << QDir::cleanPath(dir + u'/' + org + u".conf"_s);
    return files;
}

SiteCentralServer siteCentralServer(const CentralServer& builtIn)
{
    SiteCentralServer site;
    site.central = builtIn;

    // A file the program may not read would be passed over without a word.
    const QStringList files = siteSettingsFiles();
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (info.exists() && !info.isReadable()) {
            site.file = file;
            site.problem = u"the file cannot be read"_s;
            return site;
        }
    }

    QSettings settings(QSettings::SystemScope, QString::fromLatin1(siteOrganization),
                       QString::fromLatin1(siteApplication));
    const QString key = QString::fromLatin1(centralServerKey);
    if (settings.status() == QSettings::FormatError) {
        site.file = settings.fileName();
        for (const QString& file : files)
            if (QFileInfo::exists(file)) {
                QSettings one(file, QSettings::NativeFormat);
                if (one.status() == QSettings::FormatError) {
                    site.file = file;
                    break;
                }
            }
        site.problem = u"a line of the file is malformed"_s;
        return site;
    }
    if (!settings.contains(key))
        return site;

    site.file = settings.fileName();
    for (const QString& file : files)
        if (QFileInfo::exists(file) && QSettings(file, QSettings::NativeFormat).contains(key)) {
            site.file = file;
            break;
        }
    const QVariant raw = settings.value(key);
    site.value = raw.typeId() == QMetaType::QStringList ? raw.toStringList().join(u","_s) : raw.toString();
    const ServerValue value = checkServerValue(raw);
    if (!value.ok) {
        site.problem = value.problem;
        return site;
    }
    site.central.server = value.server;
    site.fromSite = true;
    return site;
}

SiteCaFile siteCaFile()
{
    SiteCaFile ca;
    const QSettings settings(QSettings::SystemScope, QString::fromLatin1(siteOrganization),
                             QString::fromLatin1(siteApplication));
    const QString key = QString::fromLatin1(caFileKey);
    if (!settings.contains(key))
        return ca;
    ca.file = settings.fileName();
    for (const QString& file : siteSettingsFiles())
        if (QFileInfo::exists(file) && QSettings(file, QSettings::NativeFormat).contains(key)) {
            ca.file = file;
            break;
        }
    ca.path = settings.value(key).toString().trimmed();
    const QFileInfo info(ca.path);
    if (ca.path.isEmpty() || info.isRelative())
        ca.problem = u"it is not an absolute path"_s;
    else if (!info.isFile() || !info.isReadable())
        ca.problem = u"the file cannot be read"_s;
    return ca;
}

QString siteCaText(const SiteCaFile& ca)
{
    return u"The CA file in "_s + ca.file + u" (\""_s + ca.path + u"\") cannot be used: "_s + ca.problem +
           u".\n\nWrite it in the section [tls] as ca_file=/path/to/ca.pem, or remove it to connect without "
           u"checking the servers' certificates.\n\nZelmar™ ends without connecting to any server."_s;
}

QString siteSettingText(const SiteCentralServer& site)
{
    const QString shown = site.value.isNull() ? QString() : u" (\""_s + site.value + u"\")"_s;
    return u"The central server in "_s + site.file + shown + u" cannot be used: "_s + site.problem +
           u".\n\nWrite it in the section [central] as server=host or server=host:port, for example "
           u"server=10.0.0.5:3306, or remove it to use the built-in server.\n\n"
           u"Zelmar™ ends without connecting to any server."_s;
}

QString siteSettingTitle()
{
    return u"Check the site settings of Zelmar™"_s;
}

} // namespace zelmar::signin
