#include "capture/capture_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

bool parseSeconds(const std::string& name, const std::string& text, double* value, std::string* error) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    double parsed = std::strtod(start, &end);
    if (text.empty() || end != start + text.size() || errno == ERANGE || !std::isfinite(parsed)) {
        *error = name + " needs a number of seconds, not \"" + text + "\"";
        return false;
    }
    if (parsed < 0.0 || parsed > maxCaptureSeconds) {
        *error = name + " must lie between 0 and " + std::to_string(static_cast<int>(maxCaptureSeconds)) +
                 " seconds, not " + text;
        return false;
    }
    *value = parsed;
    return true;
}

bool parseFps(const std::string& text, int* value, std::string* error) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(start, &end, 10);
    if (text.empty() || end != start + text.size() || errno == ERANGE) {
        *error = "--fps needs a whole number of frames per second, not \"" + text + "\"";
        return false;
    }
    if (parsed < minCaptureFps || parsed > maxCaptureFps) {
        *error = "--fps must lie between " + std::to_string(minCaptureFps) + " and " +
                 std::to_string(maxCaptureFps) + ", not " + text;
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

}  // namespace

bool parseCaptureOptions(const std::vector<std::string>& arguments, CaptureOptions* options,
                         std::string* error) {
    CaptureOptions parsed;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool inlineValue = false;
        if (name == "-h" || name == "--help") {
            parsed.help = true;
            continue;
        }
        size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            inlineValue = true;
        }
        if (name != "--fps" && name != "--from" && name != "--to" && name != "--out") {
            *error = (name.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + arguments[i];
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                *error = name + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        bool ok = true;
        if (name == "--fps") {
            ok = parseFps(value, &parsed.fps, error);
        } else if (name == "--from") {
            ok = parseSeconds(name, value, &parsed.from, error);
        } else if (name == "--to") {
            ok = parseSeconds(name, value, &parsed.to, error);
            parsed.hasTo = true;
        } else {
            if (value.empty()) {
                *error = "--out needs a file name";
                return false;
            }
            parsed.out = value;
        }
        if (!ok) return false;
    }
    if (parsed.hasTo && parsed.to <= parsed.from) {
        *error = "--to must come after --from (the stretch from " + secondsText(parsed.from) + " s to " +
                 secondsText(parsed.to) + " s is empty)";
        return false;
    }
    *options = parsed;
    return true;
}

const char* captureUsage() {
    return "usage: oku-capture [--fps N] [--from S] [--to S] [--out FILE]\n"
           "Renders the demo at a fixed frame rate into an MP4 file (H.264 video, AAC music).\n"
           "  --fps N     frames per second, 1 to 240 (default 60)\n"
           "  --from S    first second of demo time to record (default 0)\n"
           "  --to S      demo time at which to stop (default: the demo's end)\n"
           "  --out FILE  the video file to write (default oku.mp4)\n"
           "Frames before --from are rendered but not recorded, so a stretch is the same\n"
           "as that stretch of a whole capture. Needs the ffmpeg program.\n";
}
