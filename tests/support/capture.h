// Test sinks for the demo's two reporting funnels: the diagnostic log and the
// message boxes. Each installs itself on construction and restores the default
// when it goes out of scope.
#pragma once

#include <string>
#include <vector>

#include "platform/log/debug_log.h"
#include "platform/window/message_box.h"

class LogCapture {
public:
    LogCapture() {
        setDebugLogSink([this](const std::string& message) { lines.push_back(message); });
    }
    ~LogCapture() { setDebugLogSink(nullptr); }
    bool contains(const std::string& text) const {
        for (const auto& line : lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> lines;
};

struct RecordedMessageBox {
    std::string text;
    std::string caption;
    unsigned type;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder() {
        setMessageBoxHandler([this](const char* text, const char* caption, unsigned type) {
            boxes.push_back({text, caption, type});
        });
    }
    ~MessageBoxRecorder() { setMessageBoxHandler(nullptr); }
    std::vector<RecordedMessageBox> boxes;
};
