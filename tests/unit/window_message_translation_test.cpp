// Translation of SDL keys and events into Win32-style virtual keys and window messages, with hand-built events.
#include <gtest/gtest.h>

#include "platform/window/win32_sdl_events.h"

namespace {

HWND const fakeWindow = reinterpret_cast<HWND>(0x1234);

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    event.key.keysym.scancode = SDL_SCANCODE_A;
    return event;
}

SDL_Event windowEvent(Uint8 which, Sint32 data1 = 0, Sint32 data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = which;
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

MSG translateOne(const SDL_Event& event) {
    MSG out[2];
    EXPECT_EQ(translateSdlEvent(event, fakeWindow, out), 1);
    EXPECT_EQ(out[0].hwnd, fakeWindow);
    return out[0];
}

TEST(VirtualKeys, CoverTheKeysTheDemoAndItsUsersPress) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_ESCAPE), 27);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_a), 'A');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_z), 'Z');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_0), '0');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_9), '9');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F1), 0x70);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F12), 0x7B);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFT), VK_LEFT);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RIGHT), VK_RIGHT);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_UP), VK_UP);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_DOWN), VK_DOWN);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SPACE), VK_SPACE);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RETURN), VK_RETURN);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_KP_ENTER), VK_RETURN);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LSHIFT), VK_SHIFT);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RSHIFT), VK_SHIFT);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LCTRL), VK_CONTROL);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RALT), VK_MENU);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_KP_5), VK_NUMPAD0 + 5);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_KP_0), VK_NUMPAD0);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_AUDIOPLAY), 0) << "keys without a code are not delivered";
}

TEST(SdlEventTranslation, KeysBecomeKeyMessagesAndSystemKeysWithAlt) {
    MSG down = translateOne(keyEvent(SDL_KEYDOWN, SDLK_ESCAPE));
    EXPECT_EQ(down.message, WM_KEYDOWN);
    EXPECT_EQ(down.wParam, 27u);
    EXPECT_EQ(static_cast<uint32_t>(down.lParam) >> 31, 0u);

    MSG up = translateOne(keyEvent(SDL_KEYUP, SDLK_ESCAPE));
    EXPECT_EQ(up.message, WM_KEYUP);
    EXPECT_EQ(static_cast<uint32_t>(up.lParam) >> 30, 3u) << "previous-state and transition bits of a release";

    EXPECT_EQ(translateOne(keyEvent(SDL_KEYDOWN, SDLK_F4, KMOD_LALT)).message, WM_SYSKEYDOWN);
    EXPECT_EQ(translateOne(keyEvent(SDL_KEYUP, SDLK_F4, KMOD_LALT)).message, WM_SYSKEYUP);
    EXPECT_EQ(translateOne(keyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_NONE)).message, WM_SYSKEYDOWN)
        << "Alt itself is a system key";
    EXPECT_EQ(translateOne(keyEvent(SDL_KEYDOWN, SDLK_a, KMOD_LCTRL)).message, WM_KEYDOWN);

    MSG out[2];
    EXPECT_EQ(translateSdlEvent(keyEvent(SDL_KEYDOWN, SDLK_AUDIOPLAY), fakeWindow, out), 0);
}

TEST(SdlEventTranslation, WindowEventsBecomeActivationSizeAndClose) {
    MSG minimized = translateOne(windowEvent(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_EQ(minimized.message, WM_ACTIVATE);
    EXPECT_NE(HIWORD(minimized.wParam), 0) << "minimized windows carry a non-zero high word";

    MSG restored = translateOne(windowEvent(SDL_WINDOWEVENT_RESTORED));
    EXPECT_EQ(restored.message, WM_ACTIVATE);
    EXPECT_EQ(LOWORD(restored.wParam), WA_ACTIVE);
    EXPECT_EQ(HIWORD(restored.wParam), 0);

    MSG focusLost = translateOne(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(focusLost.message, WM_ACTIVATE);
    EXPECT_EQ(LOWORD(focusLost.wParam), WA_INACTIVE);
    EXPECT_EQ(HIWORD(focusLost.wParam), 0) << "losing focus is not minimizing";

    MSG size = translateOne(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600));
    EXPECT_EQ(size.message, WM_SIZE);
    EXPECT_EQ(LOWORD(size.lParam), 800);
    EXPECT_EQ(HIWORD(size.lParam), 600);

    EXPECT_EQ(translateOne(windowEvent(SDL_WINDOWEVENT_CLOSE)).message, WM_CLOSE);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(translateOne(quit).message, WM_CLOSE) << "a termination request closes the window";

    MSG out[2];
    EXPECT_EQ(translateSdlEvent(windowEvent(SDL_WINDOWEVENT_EXPOSED), fakeWindow, out), 0);
}

TEST(SdlEventTranslation, MouseMotionAndLeftButton) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 300;
    motion.motion.y = 200;
    MSG move = translateOne(motion);
    EXPECT_EQ(move.message, WM_MOUSEMOVE);
    EXPECT_EQ(LOWORD(move.lParam), 300);
    EXPECT_EQ(HIWORD(move.lParam), 200);

    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_LEFT;
    EXPECT_EQ(translateOne(button).message, WM_LBUTTONDOWN);
    button.type = SDL_MOUSEBUTTONUP;
    EXPECT_EQ(translateOne(button).message, WM_LBUTTONUP);
    button.button.button = SDL_BUTTON_MIDDLE;
    MSG out[2];
    EXPECT_EQ(translateSdlEvent(button, fakeWindow, out), 0);
}

}  // namespace
