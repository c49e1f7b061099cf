#pragma once

#include <QString>

#include <functional>

namespace zelmar {

// Message boxes reach the program through this interface so that the data
// layer stays free of widgets and tests can answer every box.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // OK-only box without icon.
    virtual void message(const QString& text, const QString& title) = 0;
    // Yes/No box; true means Yes.
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    // Input box; Cancel gives the empty string, as an empty answer does.
    virtual QString input(const QString& prompt, const QString& title, const QString& defaultText) = 0;
};

// The timed pauses of the program (status flashes and the like).
class Pause
{
public:
    virtual ~Pause() = default;
    // Waits the given seconds while window events go on being processed.
    virtual void wait(double seconds) = 0;
};

// Where a call that blocks on a server runs. The window's implementation runs it off the
// window's thread and holds the operator's input until it returns, so the window repaints and
// no handler of the operator's runs meanwhile; without one it runs where it is called.
class Waiter
{
public:
    virtual ~Waiter() = default;
    // Returns once `blockingCall` has returned.
    virtual void run(const std::function<void()>& blockingCall) = 0;
    // True while a call runs: a timer that fires meanwhile must not start a handler that
    // would work on in the middle of it.
    virtual bool waiting() const = 0;
};

// The program's exit status, so that a script that starts it can tell a
// normal end from one forced by an error, and the errors apart.
enum class ExitStatus : int
{
    Normal = 0,            // QUIT, the one-hour limit, the goodbye, a closed sign-in window
    SiteSetting = 2,       // the site's settings file holds no usable central server
    UnsupportedSystem = 3, // the system is not one the program runs on
    UpgradeRequired = 4,   // the account asks for a newer version
    ErrorCode00 = 10,      // central server unreachable, no Internet
    ErrorCode01 = 11,      // central server unreachable, Internet reachable
    ErrorCode02 = 12,      // the account query failed
    ErrorCode03 = 13,      // the account row could not be read
};

// Ends the program. Callers return at once after calling end() or endWithError().
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    // A normal end: exit status 0.
    virtual void end() = 0;
    virtual bool hasEnded() const = 0;

    // An end forced by an error: the program leaves with `status`. A program
    // that has already ended keeps the status it ended with.
    void endWithError(ExitStatus status)
    {
        if (hasEnded())
            return;
        m_status = status;
        end();
    }
    ExitStatus exitStatus() const { return m_status; }

private:
    ExitStatus m_status = ExitStatus::Normal;
};

} // namespace zelmar
