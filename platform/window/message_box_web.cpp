// Message boxes in the page: a modal dialog of the page's own (message_box_web.js
// hands caption and text to it) that the program waits on until OK, as on the
// desktop.
#include "platform/window/message_box_backend.h"

extern "C" int okuWebShowMessage(const char* caption, const char* text, unsigned type);  // message_box_web.js

bool showMessageBoxOnScreen(const char* text, const char* caption, unsigned type) {
    return okuWebShowMessage(caption, text, type) != 0;
}
