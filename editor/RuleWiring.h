#pragma once

namespace zelmar {

// How a field rule learns of the field's events.
enum class RuleWiring
{
    // The rule listens to the field itself (text changes, Enter, losing the focus).
    Automatic,
    // The window forwards its handlers to the rule.
    Manual,
};

} // namespace zelmar
