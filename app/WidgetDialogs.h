#pragma once

#include "Interaction.h"

namespace zelmar {

// Message, question and input boxes as the operator sees them.
class WidgetDialogs : public Dialogs
{
public:
    void message(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
};

// Ends the program: closes every window and leaves every running event loop
// with the program's exit status.
class ApplicationEnd : public ProgramEnd
{
public:
    void end() override;
    bool hasEnded() const override { return m_ended; }

private:
    bool m_ended = false;
};

} // namespace zelmar
