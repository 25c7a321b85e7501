// A small Win32-style windowing layer over SDL2: window classes and windows,
// display-mode changes, device contexts with pixel formats, OpenGL contexts,
// the message pump and the cursor. Names, types and constant values are those of
// the Windows API, so the shell makes the Win32 calls it was designed around.
//
// How it maps:
// - SDL's video comes up with the first call that needs it, on a desktop display
//   only (platform/window/video_driver_choice.h): where there is none, the reason
//   goes to stderr in one line and RegisterClassA, CreateWindowExA and
//   ChangeDisplaySettingsA fail.
// - RegisterClassA keeps the window procedure; CreateWindowExA makes a hidden SDL
//   window with an OpenGL surface (double buffer, RGBA 8-8-8-8, the deepest depth
//   buffer of 32/24/16 bits the driver offers, no stencil). WS_POPUP after a
//   successful ChangeDisplaySettingsA gives a borderless window covering the whole
//   screen at the desktop's own mode; WS_OVERLAPPEDWINDOW a decorated, resizable
//   window whose client area is the requested size (AdjustWindowRectEx and
//   CreateWindowExA use the same frame).
// - Full screen never changes the display mode. The program still draws a picture
//   of the size it asked for: its client area (GetClientRect, WM_SIZE) is that size,
//   framebuffer 0 is a stand-in of that size, and SwapBuffers shows the picture
//   scaled into the largest centred rectangle of its shape that fits the screen,
//   black around it (platform/window/win32_sdl_picture.h). Where the screen cannot
//   be had, the popup is a window of the asked size.
// - ChangeDisplaySettingsA with a mode succeeds on any desktop display (the mode
//   asked for only names the picture's size); ChangeDisplaySettingsA(NULL, 0)
//   leaves the desktop as it is, since its mode was never changed.
// - ShowWindow(SW_SHOW) and SetForegroundWindow activate the window: the
//   procedure receives WM_ACTIVATE (WA_ACTIVE) at once, as on Windows, even where
//   no window manager ever sends a focus event.
// - PeekMessageA turns pending SDL events into messages: WM_KEYDOWN/UP with
//   virtual-key codes (WM_SYSKEYDOWN/UP while Alt is held), WM_ACTIVATE (high word
//   of wParam non-zero while minimized), WM_SIZE, WM_CLOSE, WM_MOUSEMOVE,
//   WM_LBUTTONDOWN/UP, and WM_QUIT once PostQuitMessage was called and nothing
//   else is queued. TranslateMessage produces no character messages. A window
//   that another program destroys (X11) gets WM_CLOSE, as if its close button was
//   pressed (platform/window/x11_window_watch.h).
// - The cursor calls may come before any window exists (a static object hides the
//   cursor at program start): the show counter and the last position are kept and
//   applied as soon as SDL's video is up.
// - The screen saver stays disabled while a window exists.
#pragma once

#include <cstdint>
#include <functional>

typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned long DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef long LONG;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef const char* LPCSTR;

struct WindowObject;
struct DeviceContextObject;
struct RenderContextObject;
struct InstanceObject;
typedef WindowObject* HWND;
typedef DeviceContextObject* HDC;
typedef RenderContextObject* HGLRC;
typedef InstanceObject* HINSTANCE;
typedef void* HICON;
typedef void* HCURSOR;
typedef void* HBRUSH;
typedef void* HMENU;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

inline WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
inline WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
inline LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16));
}

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;

// WM_ACTIVATE low word.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
// WM_SIZE wParam.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
// WM_SYSCOMMAND wParam.
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_MONITORPOWER = 0xF170;

// Virtual-key codes.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as their ASCII codes.
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;  // VK_F1 + n - 1 is Fn, up to F12
constexpr int VK_F12 = 0x7B;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;

// Window class and window styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_OWNDC = 0x0020;
constexpr DWORD WS_OVERLAPPED = 0x00000000ul;
constexpr DWORD WS_POPUP = 0x80000000ul;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000ul;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000ul;
constexpr DWORD WS_CAPTION = 0x00C00000ul;
constexpr DWORD WS_SYSMENU = 0x00080000ul;
constexpr DWORD WS_THICKFRAME = 0x00040000ul;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000ul;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000ul;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100ul;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000ul;

// ShowWindow.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// PeekMessage.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// System resources (accepted and ignored: SDL windows carry no class icon or cursor).
#define IDI_WINLOGO reinterpret_cast<LPCSTR>(32517)
#define IDC_ARROW reinterpret_cast<LPCSTR>(32512)

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

// Display modes.
constexpr DWORD DM_BITSPERPEL = 0x00040000ul;
constexpr DWORD DM_PELSWIDTH = 0x00080000ul;
constexpr DWORD DM_PELSHEIGHT = 0x00100000ul;
constexpr DWORD CDS_FULLSCREEN = 0x00000004ul;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_FAILED = -1;
constexpr LONG DISP_CHANGE_BADMODE = -2;

struct DEVMODEA {
    WORD dmSize;
    DWORD dmFields;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFrequency;
};

// Pixel formats.
constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001ul;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004ul;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020ul;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_MAIN_PLANE = 0;

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    BYTE cAlphaBits, cAlphaShift;
    BYTE cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask, dwVisibleMask, dwDamageMask;
};

HINSTANCE GetModuleHandleA(LPCSTR moduleName);

WORD RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);
BOOL GetClientRect(HWND window, RECT* rect);

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC deviceContext);
int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request);
BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request);
// Fills the description of the format the device context actually has (depth bits and so on).
int DescribePixelFormat(HDC deviceContext, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description);
HGLRC wglCreateContext(HDC deviceContext);
BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext);
BOOL wglDeleteContext(HGLRC renderContext);
BOOL SwapBuffers(HDC deviceContext);
// Not a Windows call: how many frames SwapBuffers has presented on the device context
// (tests check when the shell presents a frame).
DWORD GetPresentedFrameCount(HDC deviceContext);
// Not a Windows call: a function SwapBuffers calls just before it presents each frame,
// with the device context and its rendering context current, so the finished frame
// can still be read from the back buffer (the capture program records frames there).
// None is installed by default; an empty function removes it.
using PresentHook = std::function<void(HDC deviceContext)>;
void SetPresentHook(PresentHook hook);
// Not a Windows call: whether ChangeDisplaySettingsA may take the whole screen (it
// may by default). The capture program refuses it, so the demo draws into a window
// of its own size and leaves the desktop to the user.
void SetFullScreenAllowed(bool allowed);

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
void PostQuitMessage(int exitCode);
// Queues a message for the window, as the pump will deliver it (tests use it to inject input).
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

int ShowCursor(BOOL show);
BOOL SetCursorPos(int x, int y);
BOOL GetCursorPos(POINT* point);
