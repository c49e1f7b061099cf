#pragma once

// Kept for tests of other folders that include it from here; the account lives in tests/support.
#include "CountedAccount.h"
