#pragma once

#include "Interaction.h"

namespace zelmar {

// Waits in a nested event loop woken by a single timer: the window stays live
// and no CPU is spent while waiting. Safe to re-enter from a handler that runs
// inside another pause: the inner pause returns first, the outer one as soon as
// its own time is up. When the application quits during a wait, the wait ends.
// A scale below 1 shortens every pause (tests use 0).
class EventLoopPause : public Pause
{
public:
    explicit EventLoopPause(double scale = 1.0)
        : m_scale(scale)
    {}
    void wait(double seconds) override;
    double scale() const { return m_scale; }

private:
    double m_scale;
};

} // namespace zelmar
