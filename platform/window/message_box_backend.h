// What a message-box backend shows (message_box_sdl.cpp on the desktop,
// message_box_web.cpp in the browser). MessageBoxA (message_box.cpp) hands it a box
// only when no handler is installed, with text and caption never null.
#pragma once

// Shows the box and returns once it is dismissed; false where nothing could show it.
bool showMessageBoxOnScreen(const char* text, const char* caption, unsigned type);
