#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace zelmar {

// The three numbers of the Windows version record that the version table reads.
struct WindowsVersionRecord
{
    quint32 platformId = 0;
    quint32 majorVersion = 0;
    quint32 minorVersion = 0;
};

// What the host tells about itself.
struct SystemFacts
{
    enum class Kind
    {
        Windows,           // the Windows version service answered: `windows` holds its record
        WindowsCallFailed, // the Windows version service exists but the call failed
        OtherSystem,       // no Windows version service: `prettyName` names the system
    };
    Kind kind = Kind::OtherSystem;
    WindowsVersionRecord windows;
    QString prettyName;
};

// Source of the host facts, so that tests can feed any system.
class HostSystem
{
public:
    virtual ~HostSystem() = default;
    virtual SystemFacts facts() const = 0;
};

// The running system: GetVersionExA on Windows, Qt's pretty product name elsewhere.
class QtHostSystem : public HostSystem
{
public:
    SystemFacts facts() const override;
};

// The Windows table as a pure function. std::nullopt stands for a
// failed version call. For a platform outside the table both out values are
// left as they are.
void windowsVersionName(const std::optional<WindowsVersionRecord>& record, QString& GetWindowsVersion,
                        qint16& Support);

// GetWindows: fills the version name and the support class from
// the host. A system without the Windows version service is named by itself
// and gets support class 2, so that the program runs there with the modern
// driver clause.
void GetWindows(const HostSystem& host, QString& GetWindowsVersion, qint16& Support);

} // namespace zelmar
