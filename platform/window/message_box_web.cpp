// Message boxes in the page: a modal dialog of the page's own (win32_web.js hands
// caption and text to it) that the program waits on until OK, as on the desktop.
// Where the page offers none, "caption: text" goes to stderr and the program goes on.
#include <cstdio>

#include "platform/window/message_box.h"

extern "C" int okuWebShowMessage(const char* caption, const char* text, unsigned type);  // message_box_web.js

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
    if (!okuWebShowMessage(caption, text, type)) std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}
