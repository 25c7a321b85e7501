// Keeps Mesa's driver libraries mapped until the process ends. Closing the last GL
// context unloads them, after which the leak checker can no longer name the
// library behind the drivers' own one-off allocations, and tests/lsan.supp cannot
// match them. Loading them once more, never to be unloaded, keeps their names
// known. (SDL makes some contexts through EGL even on X11, hence both.)
#include <dlfcn.h>

#include <initializer_list>

namespace {
const bool kDriverKeptLoaded = [] {
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "/usr/lib/dri/swrast_dri.so"}) {
        if (dlopen(path, RTLD_LAZY | RTLD_NODELETE)) break;
    }
    dlopen("libEGL_mesa.so.0", RTLD_LAZY | RTLD_NODELETE);
    dlopen("libgbm.so.1", RTLD_LAZY | RTLD_NODELETE);
    return true;
}();
}  // namespace
