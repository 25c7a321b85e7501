// The check the shell and the scenes make after each sound call: a failure is
// logged and otherwise ignored, so the demo goes on silently.
#pragma once

#include "platform/log/debug_log.h"
#include "platform/sound/fmod.h"

// True when result is FMOD_OK; otherwise logs the code with its text.
inline bool fmodCheck(FMOD_RESULT result) {
    if (result == FMOD_OK) return true;
    debugLog("FMOD error! (%d) %s\n", result, FMOD_ErrorString(result));
    return false;
}
