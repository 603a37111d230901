#pragma once
#include "win/handles.h"

namespace modSingleInstance {
// Every instance holds this per-user mutex for its whole run, so that a later instance
// can tell it is not alone. Sets alreadyRunning when another instance holds it.
win::unique_handle ClaimInstanceMutex(bool& alreadyRunning);
}  // namespace modSingleInstance
