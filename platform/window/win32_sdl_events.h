// Pure translation from SDL events to Win32-style messages, used by the window
// layer's message pump. Kept apart from the backend so it can be tested with
// hand-built events and no display.
#pragma once

#include <SDL.h>

#include "platform/window/win32.h"

// The Windows virtual-key code for an SDL key, or 0 for keys the demo has no code for.
int virtualKeyFromSdl(SDL_Keycode key);

// Translates one event for the given window into at most two messages; returns how many.
// Events that carry no message (or keys without a code) give 0.
int translateSdlEvent(const SDL_Event& event, HWND window, MSG out[2]);
