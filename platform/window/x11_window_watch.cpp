#include "platform/window/x11_window_watch.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <vector>

namespace {

struct WatchedWindow {
    SDL_Window* sdl = nullptr;  // null once the layer has let go of it
    Display* display = nullptr;
    Window id = 0;
    bool destroyed = false;
    bool reported = false;
};

// Like every window call, these run on the main thread; the error handler runs
// inside the Xlib request that failed, on that same thread.
std::vector<WatchedWindow> watched;
XErrorHandler previousHandler = nullptr;

// GLX's "bad drawable" and "bad window" errors, relative to its first error code.
constexpr int glxBadDrawable = 2;
constexpr int glxBadWindow = 12;
int glxFirstError = -1;

bool saysWindowIsGone(const XErrorEvent& error) {
    if (error.error_code == BadWindow || error.error_code == BadDrawable) return true;
    return glxFirstError > 0 && (error.error_code == glxFirstError + glxBadDrawable ||
                                 error.error_code == glxFirstError + glxBadWindow);
}

int absorbVanishedWindowErrors(Display* display, XErrorEvent* error) {
    bool oneIsGone = false;
    for (WatchedWindow& window : watched) {
        if (window.display != display) continue;
        if (window.id == error->resourceid) {
            // A window we let go of may still draw errors from requests already on
            // their way; those are absorbed whatever they say.
            if (!window.sdl || saysWindowIsGone(*error)) {
                window.destroyed = true;
                return 0;
            }
        }
        oneIsGone = oneIsGone || window.destroyed;
    }
    // Once a window has vanished, SDL goes on asking about it with ids it read
    // from replies that failed: an XQueryTree on the dead window leaves its
    // "parent" unset, and the XTranslateCoordinates that follows (when the hidden
    // window's position is put back) names whatever that held. Such errors cannot
    // be told by their id, only by saying that a window is not there.
    if (oneIsGone && saysWindowIsGone(*error)) return 0;
    return previousHandler ? previousHandler(display, error) : 0;
}

bool x11Info(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void watchX11Window(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Info(window, info)) return;
    XErrorHandler current = XSetErrorHandler(absorbVanishedWindowErrors);
    if (current != absorbVanishedWindowErrors) previousHandler = current;
    if (glxFirstError < 0) {
        int opcode = 0, firstEvent = 0, firstError = 0;
        glxFirstError = XQueryExtension(info.info.x11.display, "GLX", &opcode, &firstEvent, &firstError) ? firstError : 0;
    }
    WatchedWindow entry;
    entry.sdl = window;
    entry.display = info.info.x11.display;
    entry.id = info.info.x11.window;
    watched.push_back(entry);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void destroyWatchedWindow(SDL_Window* window) {
    Display* vanishedFrom = nullptr;
    // Entries stay (without their SDL window) so late errors about them are absorbed.
    for (WatchedWindow& entry : watched) {
        if (entry.sdl != window) continue;
        entry.sdl = nullptr;
        if (entry.destroyed) vanishedFrom = entry.display;
    }
    SDL_DestroyWindow(window);
    if (vanishedFrom) XSync(vanishedFrom, False);
}

void noticeX11Event(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type != DestroyNotify) return;
    for (WatchedWindow& entry : watched)
        if (entry.sdl && entry.id == x.xdestroywindow.window) entry.destroyed = true;
}

bool takeX11WindowDestroyed(SDL_Window* window) {
    for (WatchedWindow& entry : watched) {
        if (entry.sdl != window || !entry.destroyed || entry.reported) continue;
        entry.reported = true;
        return true;
    }
    return false;
}
