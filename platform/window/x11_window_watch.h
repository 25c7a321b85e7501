// Notices when another program destroys one of the layer's windows on X11 (a
// window manager's forced close, `xdotool windowclose`).
//
// Xlib's default error handler ends the process (exit code 1) at the first request
// that names the vanished window, and the GL driver makes such requests every
// frame. While a window is watched, errors saying that it no longer exists are
// absorbed instead (and, once it is gone, every error saying that some window is
// not there: SDL's requests about the dead window may name ids it never got), and
// its DestroyNotify is read from SDL's window-system events;
// the layer then asks the window to close, as its close button would. Errors about
// anything else go on to the handler that was installed before. On other video
// drivers every call does nothing.
#pragma once

#include <SDL.h>

// Starts watching a newly created window (installs the error handler once).
void watchX11Window(SDL_Window* window);
// Destroys a window (watched or not) with SDL_DestroyWindow. Where it had already
// vanished, the errors its destruction draws are collected at once, while the
// handler is still in place (SDL puts Xlib's default back when its video ends).
void destroyWatchedWindow(SDL_Window* window);
// Reads an SDL_SYSWMEVENT for the destruction of a watched window.
void noticeX11Event(const SDL_Event& event);
// True once, the first time it is asked after the window was found destroyed.
bool takeX11WindowDestroyed(SDL_Window* window);
