#include "capture/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string clockText(double seconds) {
    long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

std::string progressLine(const CaptureProgress& p) {
    char text[256];
    double demoSeconds = static_cast<double>(p.rendered) / p.fps;
    int used = std::snprintf(text, sizeof text, "frame %llu", static_cast<unsigned long long>(p.rendered));
    if (p.endFrame > 0)
        used += std::snprintf(text + used, sizeof text - used, "/%llu", static_cast<unsigned long long>(p.endFrame));
    used += std::snprintf(text + used, sizeof text - used, " (%s)", clockText(demoSeconds).c_str());
    if (p.sceneNumber > 0)
        used += std::snprintf(text + used, sizeof text - used, "  scene %d %s", p.sceneNumber, p.sceneName.c_str());
    if (p.rendered < p.firstFrame) used += std::snprintf(text + used, sizeof text - used, "  (not recorded yet)");
    if (p.endFrame > 0) {
        double share = 100.0 * static_cast<double>(std::min(p.rendered, p.endFrame)) / static_cast<double>(p.endFrame);
        used += std::snprintf(text + used, sizeof text - used, "  %.0f%%", std::floor(share));
    }
    if (p.elapsedSeconds > 0.0 && p.rendered > 0) {
        double rate = static_cast<double>(p.rendered) / p.elapsedSeconds;
        used += std::snprintf(text + used, sizeof text - used, "  %.1f fps", rate);
        if (p.endFrame > p.rendered)
            used += std::snprintf(text + used, sizeof text - used, "  %s left",
                                  clockText(static_cast<double>(p.endFrame - p.rendered) / rate).c_str());
    }
    return std::string(text, static_cast<size_t>(std::min<int>(used, sizeof text - 1)));
}
