#pragma once

#include <QString>

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

// Ends the program. Callers return at once after calling end().
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void end() = 0;
    virtual bool hasEnded() const = 0;
};

} // namespace zelmar
