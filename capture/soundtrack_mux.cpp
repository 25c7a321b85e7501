#include "capture/soundtrack_mux.h"

#include <vector>

#include "capture/piped_process.h"
#include "platform/sound/sound_capture.h"

bool muxSoundtrack(const std::string& videoPath, const SoundTimeline& timeline, uint64_t beginFrame,
                   uint64_t endFrame, const std::string& outPath, std::string* error) {
    const char* sampleFormat = (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) ? "f32le" : "f32be";
    std::vector<std::string> arguments = {
        "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
        "-i", videoPath,
        "-f", sampleFormat, "-ar", std::to_string(soundtrackSampleRate), "-ac", "2", "-i", "pipe:0",
        "-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", "192k",
        "-movflags", "+faststart", "-f", "mp4", outPath};
    PipedProcess ffmpeg;
    if (!ffmpeg.start(arguments, error)) return false;
    bool delivered = renderSoundtrack(timeline, beginFrame, endFrame, [&ffmpeg](const float* frames, size_t count) {
        return ffmpeg.write(frames, count * 2 * sizeof(float));
    });
    std::string ffmpegError;
    bool exited = ffmpeg.finish(&ffmpegError);
    if (exited && delivered) return true;
    *error = exited ? "ffmpeg stopped taking the soundtrack" : ffmpegError;
    return false;
}
