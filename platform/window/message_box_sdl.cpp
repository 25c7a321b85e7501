// Message boxes on the desktop: SDL's simple message box, one OK button, no owner.
#include <SDL.h>

#include "platform/window/message_box.h"
#include "platform/window/message_box_backend.h"

bool showMessageBoxOnScreen(const char* text, const char* caption, unsigned type) {
    Uint32 flags = SDL_MESSAGEBOX_ERROR;
    if ((type & 0xF0u) == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;
    if ((type & 0xF0u) == MB_ICONINFORMATION) flags = SDL_MESSAGEBOX_INFORMATION;
    return SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) == 0;
}
