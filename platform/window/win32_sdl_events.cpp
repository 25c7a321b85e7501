#include "platform/window/win32_sdl_events.h"

namespace {

MSG makeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Uint32 timestamp) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timestamp;
    return msg;
}

WPARAM activation(WORD state, bool minimized) {
    return static_cast<WPARAM>(state) | (static_cast<WPARAM>(minimized ? 1 : 0) << 16);
}

// Key message lParam: repeat count 1, scan code in bits 16-23, previous state (bit 30),
// transition state (bit 31) as Windows fills them.
LPARAM keyLParam(const SDL_KeyboardEvent& key, bool up) {
    uint32_t value = 1u | ((static_cast<uint32_t>(key.keysym.scancode) & 0xFFu) << 16);
    if (up || key.repeat) value |= 1u << 30;
    if (up) value |= 1u << 31;
    return static_cast<LPARAM>(value);
}

}  // namespace

int virtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    default: return 0;
    }
}

int translateSdlEvent(const SDL_Event& event, HWND window, MSG out[2]) {
    const Uint32 time = event.common.timestamp;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int vk = virtualKeyFromSdl(event.key.keysym.sym);
        if (vk == 0) return 0;
        bool up = event.type == SDL_KEYUP;
        // Keys pressed with Alt held, and Alt itself, are system keys on Windows.
        bool system = (event.key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
        UINT message = up ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
        out[0] = makeMessage(window, message, static_cast<WPARAM>(vk), keyLParam(event.key, up), time);
        return 1;
    }
    case SDL_MOUSEMOTION: {
        WPARAM buttons = (event.motion.state & SDL_BUTTON_LMASK) ? 0x0001 : 0;
        out[0] = makeMessage(window, WM_MOUSEMOVE, buttons,
                             MAKELPARAM(static_cast<WORD>(event.motion.x), static_cast<WORD>(event.motion.y)), time);
        return 1;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        UINT message;
        if (event.button.button == SDL_BUTTON_LEFT)
            message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        else if (event.button.button == SDL_BUTTON_RIGHT)
            message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        else
            return 0;
        out[0] = makeMessage(window, message, 0,
                             MAKELPARAM(static_cast<WORD>(event.button.x), static_cast<WORD>(event.button.y)), time);
        return 1;
    }
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out[0] = makeMessage(window, WM_SIZE, SIZE_RESTORED,
                                 MAKELPARAM(static_cast<WORD>(event.window.data1), static_cast<WORD>(event.window.data2)),
                                 time);
            return 1;
        case SDL_WINDOWEVENT_MINIMIZED:
            out[0] = makeMessage(window, WM_ACTIVATE, activation(WA_INACTIVE, true), 0, time);
            return 1;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out[0] = makeMessage(window, WM_ACTIVATE, activation(WA_ACTIVE, false), 0, time);
            return 1;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out[0] = makeMessage(window, WM_ACTIVATE, activation(WA_INACTIVE, false), 0, time);
            return 1;
        case SDL_WINDOWEVENT_CLOSE:
            out[0] = makeMessage(window, WM_CLOSE, 0, 0, time);
            return 1;
        default:
            return 0;
        }
    case SDL_QUIT:
        // The session or the terminal asks the program to end (SIGINT, SIGTERM, logout):
        // treated as a request to close the window.
        out[0] = makeMessage(window, WM_CLOSE, 0, 0, time);
        return 1;
    default:
        return 0;
    }
}
