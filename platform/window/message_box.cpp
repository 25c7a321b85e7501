#include "platform/window/message_box.h"

#include <cstdio>

#include "platform/window/message_box_backend.h"

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
    if (!showMessageBoxOnScreen(text, caption, type)) std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}
