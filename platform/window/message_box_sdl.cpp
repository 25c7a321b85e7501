#include "platform/window/message_box.h"

#include <SDL.h>

#include <cstdio>

namespace {
MessageBoxHandler& handler() {
    static MessageBoxHandler installed;
    return installed;
}
}  // namespace

void setMessageBoxHandler(MessageBoxHandler newHandler) { handler() = std::move(newHandler); }

int MessageBoxA(void* /*owner*/, const char* text, const char* caption, unsigned type) {
    if (!text) text = "";
    if (!caption) caption = "Error";
    if (handler()) {
        handler()(text, caption, type);
        return IDOK;
    }
    Uint32 flags = SDL_MESSAGEBOX_ERROR;
    if ((type & 0xF0u) == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;
    if ((type & 0xF0u) == MB_ICONINFORMATION) flags = SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) != 0) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
    return IDOK;
}
