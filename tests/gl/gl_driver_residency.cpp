// Keeps Mesa's software driver mapped until the process ends. Closing the last GL
// context unloads it, after which the leak checker can no longer name the library
// behind the driver's own one-off allocations, and tests/lsan.supp cannot match
// them. Loading it once more, never to be unloaded, keeps its name known.
#include <dlfcn.h>

#include <initializer_list>

namespace {
const bool kDriverKeptLoaded = [] {
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "/usr/lib/dri/swrast_dri.so"}) {
        if (dlopen(path, RTLD_LAZY | RTLD_NODELETE)) break;
    }
    return true;
}();
}  // namespace
