#include "capture/video_encoder.h"

namespace {

std::vector<std::string> encoderArguments(const std::string& path, int fps) {
    std::string size = std::to_string(captureWidth) + "x" + std::to_string(captureHeight);
    return {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
            // input: raw frames on standard input
            "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size, "-framerate", std::to_string(fps), "-i", "pipe:0",
            // RGB to limited-range BT.709 YUV, tagged as such so players show the colours as drawn
            "-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p", "-color_range", "tv",
            "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
            "-c:v", "libx264", "-preset", "medium", "-crf", "18", "-an", "-f", "mp4", path};
}

}  // namespace

const char* VideoEncoder::qualityDescription() { return "H.264 yuv420p, x264 preset medium, CRF 18"; }

VideoEncoder::~VideoEncoder() {
    {
        std::lock_guard<std::mutex> guard(lock);
        ending = true;
        broken = true;
    }
    changed.notify_all();
    ffmpeg.kill();  // unblocks a writer stuck on a full pipe
    if (writer.joinable()) writer.join();
}

bool VideoEncoder::start(const std::string& path, int fps, std::string* error) {
    if (!ffmpeg.start(encoderArguments(path, fps), error)) return false;
    buffers.resize(bufferCount);
    for (auto& buffer : buffers) {
        buffer.resize(captureFrameBytes);
        freeBuffers.push_back(&buffer);
    }
    writer = std::thread([this] { writeFrames(); });
    return true;
}

std::vector<uint8_t>* VideoEncoder::frameBuffer() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return broken || !freeBuffers.empty(); });
    if (broken) return nullptr;
    std::vector<uint8_t>* buffer = freeBuffers.front();
    freeBuffers.pop_front();
    return buffer;
}

bool VideoEncoder::submit(std::vector<uint8_t>* frame) {
    {
        std::lock_guard<std::mutex> guard(lock);
        if (broken) {
            freeBuffers.push_back(frame);
            return false;
        }
        queued.push_back(frame);
    }
    changed.notify_all();
    return true;
}

bool VideoEncoder::failed() {
    std::lock_guard<std::mutex> guard(lock);
    return broken;
}

void VideoEncoder::writeFrames() {
    for (;;) {
        std::vector<uint8_t>* frame = nullptr;
        {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [this] { return ending || !queued.empty(); });
            if (queued.empty() || broken) return;
            frame = queued.front();
            queued.pop_front();
        }
        bool written = ffmpeg.write(frame->data(), frame->size());
        {
            std::lock_guard<std::mutex> guard(lock);
            freeBuffers.push_back(frame);
            if (!written) broken = true;
        }
        changed.notify_all();
        if (!written) return;
    }
}

bool VideoEncoder::finish(std::string* error) {
    bool writtenAll;
    {
        std::lock_guard<std::mutex> guard(lock);
        ending = true;
    }
    changed.notify_all();
    if (writer.joinable()) writer.join();
    {
        std::lock_guard<std::mutex> guard(lock);
        writtenAll = !broken;
    }
    std::string ffmpegError;
    bool exited = ffmpeg.finish(&ffmpegError);
    if (exited && writtenAll) return true;
    *error = exited ? "ffmpeg stopped taking frames" : ffmpegError;
    return false;
}
