#pragma once

#include "StartSequence.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace zelmar::signin {

// The site's settings: one file for the whole computer, read through QSettings
// in system scope and the platform's own format. On Linux that is
// Quarrix/Zelmar.conf in the first folder of $XDG_CONFIG_DIRS that has it
// (/etc/xdg when the variable is unset). It may hold the central server and a CA
// file that the database servers' certificates must come from; nothing else of the
// program is configurable.
inline constexpr const char* siteOrganization = "Quarrix";
inline constexpr const char* siteApplication = "Zelmar";
inline constexpr const char* centralServerKey = "central/server"; // [central] server=...
inline constexpr const char* caFileKey = "tls/ca_file";           // [tls] ca_file=/path/ca.pem

// A central-server value checked: "host", "host:port", "[v6]" or "[v6]:port";
// a host is an IPv4 or IPv6 address or a DNS name. `server` is the value
// without surrounding blanks; `problem` says what is wrong, in words for the
// site's administrator.
struct ServerValue
{
    bool ok = false;
    QString server;
    QString problem;
};
ServerValue checkServerValue(const QVariant& value);

// The central server of this run.
struct SiteCentralServer
{
    CentralServer central; // the built-in one, with the site's server when the file names one
    bool fromSite = false;
    QString file;    // the settings file that holds the value (or the unreadable one)
    QString value;   // the value as the file holds it
    QString problem; // not empty: the site's setting is unusable and no server may be used
};

// Reads the site's setting through QSettings; the built-in server stands when
// no file names one.
SiteCentralServer siteCentralServer(const CentralServer& builtIn = builtInCentralServer());

// The files QSettings reads in system scope on this computer, in its order
// (used to name the file that a value came from).
QStringList siteSettingsFiles();

// The site's CA file. Named, every connection requires TLS and a server certificate
// issued by it; it must be the absolute path of a readable file. `path` empty: none.
struct SiteCaFile
{
    QString path;
    QString file;    // the settings file that names it
    QString problem; // not empty: the setting is unusable and no server may be used
};
SiteCaFile siteCaFile();
QString siteCaText(const SiteCaFile& ca);

// The message for an unusable setting, naming the file and the value.
QString siteSettingText(const SiteCentralServer& site);
QString siteSettingTitle();

} // namespace zelmar::signin
