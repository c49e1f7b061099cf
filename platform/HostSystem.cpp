#include "HostSystem.h"

#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace zelmar {

SystemFacts QtHostSystem::facts() const
{
    SystemFacts out;
#ifdef Q_OS_WIN
    // GetVersionExA with the 148-byte record, the size that call expects.
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const bool answered = GetVersionExA(&info) != 0;
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    if (answered) {
        out.kind = SystemFacts::Kind::Windows;
        out.windows = {quint32(info.dwPlatformId), quint32(info.dwMajorVersion),
                       quint32(info.dwMinorVersion)};
    } else {
        out.kind = SystemFacts::Kind::WindowsCallFailed;
    }
#else
    out.kind = SystemFacts::Kind::OtherSystem;
    out.prettyName = QSysInfo::prettyProductName();
#endif
    return out;
}

void windowsVersionName(const std::optional<WindowsVersionRecord>& record, QString& GetWindowsVersion,
                        qint16& Support)
{
    if (!record) {
        GetWindowsVersion = u"Unable to Identify Windows Op Version"_s;
        Support = 0;
        return;
    }
    const quint32 major = record->majorVersion;
    const quint32 minor = record->minorVersion;
    switch (record->platformId) {
    case 0:
        GetWindowsVersion = u"Win32s on Windows 3.1"_s;
        Support = 0;
        return;
    case 1:
        if (minor == 0)
            GetWindowsVersion = u"Windows 95"_s;
        else if (minor == 90)
            GetWindowsVersion = u"Windows Me"_s;
        else
            GetWindowsVersion = u"Windows 98"_s;
        Support = 0;
        return;
    case 2:
        Support = 0;
        if (major == 3) {
            GetWindowsVersion = u"Windows NT 3.5"_s;
        } else if (major == 4) {
            GetWindowsVersion = u"Windows NT 4.0"_s;
        } else if (major == 5 && minor == 0) {
            GetWindowsVersion = u"Windows 2000"_s;
        } else if (major == 5 && minor == 1) {
            GetWindowsVersion = u"Windows XP"_s;
            Support = 1;
        } else if (major == 5 && minor == 2) {
            GetWindowsVersion = u"Windows Server 2003"_s;
        } else if (major == 6 && minor == 0) {
            GetWindowsVersion = u"Windows Vista/Server 2008"_s;
        } else if (major == 6 && minor == 1) {
            GetWindowsVersion = u"Windows 7/Server 2008 R2"_s;
            Support = 2;
        } else if (major == 6 && minor == 2) {
            GetWindowsVersion = u"Windows 8/Server 20XX"_s;
            Support = 2;
        } else {
            GetWindowsVersion = u"Windows NT"_s;
        }
        return;
    default:
        // Outside the table: both values stay as they were.
        return;
    }
}

void GetWindows(const HostSystem& host, QString& GetWindowsVersion, qint16& Support)
{
    const SystemFacts facts = host.facts();
    switch (facts.kind) {
    case SystemFacts::Kind::Windows:
        windowsVersionName(facts.windows, GetWindowsVersion, Support);
        return;
    case SystemFacts::Kind::WindowsCallFailed:
        windowsVersionName(std::nullopt, GetWindowsVersion, Support);
        return;
    case SystemFacts::Kind::OtherSystem:
        GetWindowsVersion = facts.prettyName;
        Support = 2;
        return;
    }
}

} // namespace zelmar
