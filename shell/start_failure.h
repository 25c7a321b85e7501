// A start-up that cannot go on: the window, its OpenGL context or the extension
// loader could not be had. WinMain then ends with failedStartExitCode, so a
// script, a launcher or a shell can tell it from a demo that played, and one line
// on stderr says what was missing. The diagnostic log keeps its own lines; no
// message box is added.
#pragma once

constexpr int failedStartExitCode = 1;

// Writes "oku: could not start: <what>" as one line on stderr.
void reportFailedStart(const char* what);
