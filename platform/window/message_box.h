// Modal message boxes, the one way the demo shows a problem to the user.
// MessageBoxA has the Windows signature and flag values the callers pass; the box
// is shown with SDL's simple message box (one OK
// button, no owner). Where no display can show one, "caption: text" goes to stderr
// and the program goes on. Tests install a handler that records the boxes instead.
#pragma once

#include <functional>

constexpr unsigned MB_OK = 0x00000000u;
constexpr unsigned MB_ICONERROR = 0x00000010u;
constexpr unsigned MB_ICONEXCLAMATION = 0x00000030u;
constexpr unsigned MB_ICONINFORMATION = 0x00000040u;
constexpr int IDOK = 1;

// The owner is ignored: boxes are always ownerless, and every caller passes none.
int MessageBoxA(void* owner, const char* text, const char* caption, unsigned type);

// Replaces the display of message boxes; an empty function restores it.
using MessageBoxHandler = std::function<void(const char* text, const char* caption, unsigned type)>;
void setMessageBoxHandler(MessageBoxHandler handler);
