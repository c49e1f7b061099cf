#pragma once

namespace zelmar {

// Shows the busy cursor over every window of the program for as long as it
// lives: a database call that may take a while looks like one. Guards nest;
// the cursor goes back to normal when the last one goes. Without a window
// system (command-line tools, tests without a GUI application) it does nothing.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_set = false;
};

// The normal arrow for as long as it lives, inside a busy step too: a box that
// waits for the operator's answer must not look busy. Does nothing when no
// busy cursor is shown, so that fields keep their own cursors.
class NormalCursor
{
public:
    NormalCursor();
    ~NormalCursor();
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool m_set = false;
};

// True while a busy cursor is shown and no NormalCursor covers it.
bool busyCursorShown();

} // namespace zelmar
