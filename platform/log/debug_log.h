// The diagnostic log: a printf-style funnel for every message the demo logs.
// By default it produces no output. Tests install a sink to read what was logged;
// setting OKU_DEBUG_LOG=1 in the environment echoes it to stderr.
#pragma once

#include <functional>
#include <string>

void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Receives each formatted message. An empty function restores the default.
using DebugLogSink = std::function<void(const std::string& message)>;
void setDebugLogSink(DebugLogSink sink);
