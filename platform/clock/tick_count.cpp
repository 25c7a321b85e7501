#include "platform/clock/tick_count.h"

#include <chrono>

namespace {
TickSource& installedSource() {
    static TickSource source;
    return source;
}
}  // namespace

void setTickSource(TickSource source) { installedSource() = std::move(source); }

uint32_t GetTickCount() {
    if (installedSource()) return installedSource()();
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}
