// Ending the demo in the middle of a scene: from outside, cleanly, leaving nothing of ours behind.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"

namespace {

const std::string demo = std::string(OKU_RUN_DIR) + "/oku";

// The test's own connection, looking at other programs' windows: one may vanish
// between listing and asking, which must not end the test through Xlib's default
// error handler.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

class XConnection {
public:
    XConnection() : display(XOpenDisplay(nullptr)) { XSetErrorHandler(ignoreXErrors); }
    ~XConnection() {
        if (display) XCloseDisplay(display);
    }
    Display* display;
};

long windowPid(Display* display, Window window) {
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None) return -1;
    Atom type;
    int format;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                           &data) == Success &&
        data && items == 1 && format == 32)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

// The mapped top-level window that the process `pid` shows, or 0.
Window findWindowOf(Display* display, long pid) {
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
            windowPid(display, children[i]) == pid)
            found = children[i];
    }
    if (children) XFree(children);
    return found;
}

Window waitForWindowOf(Display* display, ChildProcess& run, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline && run.running()) {
        if (Window window = findWindowOf(display, run.processId())) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

// Whether a stack frame line names a file of our sources ("../../scenes/indoor/x.cpp:47").
bool isOurFrame(const std::string& line) {
    for (const char* folder : {"/shell/", "/scenes/", "/math/", "/assets/", "/platform/"}) {
        const size_t at = line.find(folder);
        if (at == std::string::npos) continue;
        for (const char* extension : {".cpp:", ".h:"})
            if (line.find(extension, at) != std::string::npos) return true;
    }
    return false;
}

// The leak records of a LeakSanitizer report whose stacks pass through our sources.
std::vector<std::string> leaksOfOurs(const std::string& report) {
    std::vector<std::string> ours;
    size_t start = 0;
    while ((start = report.find(" leak of ", start)) != std::string::npos) {
        size_t end = report.find("\n\n", start);
        if (end == std::string::npos) end = report.size();
        const std::string record = report.substr(start, end - start);
        size_t lineStart = 0;
        while (lineStart < record.size()) {
            size_t lineEnd = record.find('\n', lineStart);
            if (lineEnd == std::string::npos) lineEnd = record.size();
            if (isOurFrame(record.substr(lineStart, lineEnd - lineStart))) {
                ours.push_back(record);
                break;
            }
            lineStart = lineEnd + 1;
        }
        start = end;
    }
    return ours;
}

TEST(EndingEarly, AWindowDestroyedByAnotherProgramEndsTheDemoLikeClosingIt) {
    XConnection x;
    ASSERT_NE(x.display, nullptr) << "needs an X display";
    ChildProcess run(demo, {{"SDL_AUDIODRIVER", "dummy"}, {"ASAN_OPTIONS", "detect_leaks=0"}}, OKU_RUN_DIR);
    ASSERT_TRUE(run.started());
    const Window window = waitForWindowOf(x.display, run, 60.0);
    ASSERT_NE(window, 0u) << run.stderrText;
    std::this_thread::sleep_for(std::chrono::seconds(2));  // frames are being drawn into it

    XDestroyWindow(x.display, window);  // what a forced close from outside does
    XSync(x.display, False);

    ASSERT_TRUE(run.waitFor(60.0)) << "the demo went on without its window";
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("X Error"), std::string::npos) << run.stderrText;
}

TEST(EndingEarly, EndingInTheMiddleOfASceneLeavesNoLeakOfOurs) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "needs the AddressSanitizer build";
#endif
    XConnection x;
    ASSERT_NE(x.display, nullptr) << "needs an X display";
    const std::string suppressions = std::string(OKU_SOURCE_DIR) + "/tests/lsan.supp";
    ChildProcess run(demo,
                     {{"SDL_AUDIODRIVER", "dummy"},
                      {"ASAN_OPTIONS", "detect_leaks=1"},
                      {"LSAN_OPTIONS", "suppressions=" + suppressions + ":print_suppressions=0"}},
                     OKU_RUN_DIR);
    ASSERT_TRUE(run.started());
    ASSERT_NE(waitForWindowOf(x.display, run, 60.0), 0u) << run.stderrText;
    // Whichever scene is loading or playing now is neither cleaned up nor kept.
    std::this_thread::sleep_for(std::chrono::seconds(4));
    ASSERT_TRUE(run.running());
    kill(run.processId(), SIGTERM);  // ends the demo as Escape does: the scene is not cleaned up

    ASSERT_TRUE(run.waitFor(120.0));
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.stderrText.find("ERROR: AddressSanitizer"), std::string::npos) << run.stderrText;
    const std::vector<std::string> ours = leaksOfOurs(run.stderrText);
    EXPECT_TRUE(ours.empty()) << ours.size() << " leaks of ours, the first:\n" << (ours.empty() ? "" : ours[0]);
    // A non-zero exit comes only from the report of the system libraries' leaks.
    if (run.exitCode != 0) {
        EXPECT_NE(run.stderrText.find("ERROR: LeakSanitizer"), std::string::npos) << run.stderrText;
    }
}

}  // namespace
