#include "platform/log/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
DebugLogSink& sink() {
    static DebugLogSink installed;
    return installed;
}

bool echoToStderr() {
    static const bool echo = [] {
        const char* value = std::getenv("OKU_DEBUG_LOG");
        return value && value[0] == '1';
    }();
    return echo;
}
}  // namespace

void setDebugLogSink(DebugLogSink newSink) { sink() = std::move(newSink); }

void debugLog(const char* format, ...) {
    if (!sink() && !echoToStderr()) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        message.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    if (sink()) sink()(message);
    if (echoToStderr()) std::fputs(message.c_str(), stderr);
}
