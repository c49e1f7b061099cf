#pragma once

#include "BusyCursor.h"
#include "FormMainTestMenu.h"

#include <QtGlobal>

namespace zelmar {

// Every database write the editor starts is tried twice: `write` reports in `status` (0 done,
// 1 failed), and a failure runs it once more with the same arguments; the second result
// stands. No attempt starts once the program has ended, and the busy cursor shows meanwhile.
// Without a database the write counts as failed. Returns false when the program has ended:
// the caller then returns at once; otherwise it goes on and looks at `status`.
template<typename Write>
[[nodiscard]] bool twoAttempts(const FormMainTestMenu& w, qint16& status, const Write& write)
{
    const BusyCursor busy;
    status = 1;
    for (int attempt = 0; attempt < 2 && status != 0 && !w.ended(); ++attempt) {
        status = 1;
        if (w.database)
            write();
    }
    return !w.ended();
}

} // namespace zelmar
