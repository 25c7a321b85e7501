// Encodes captured frames with ffmpeg: H.264 in yuv420p (x264, preset "medium",
// constant quality CRF 18, BT.709 colour) into an MP4 file without sound. Frames
// are handed over as tightly packed RGB rows, top row first; a writer thread
// feeds them to ffmpeg's input, so drawing the next frame overlaps with encoding
// and neither side waits on the other for long. At most a few frames wait in
// between; a capture that outruns the encoder waits for a free buffer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/piped_process.h"

constexpr int captureWidth = 1024;
constexpr int captureHeight = 768;
constexpr size_t captureFrameBytes = static_cast<size_t>(captureWidth) * captureHeight * 3;

class VideoEncoder {
public:
    VideoEncoder() = default;
    ~VideoEncoder();  // stops a running encoder and leaves its file to the caller to remove
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Starts ffmpeg writing `path` at `fps`. False, with *error set, when it cannot.
    bool start(const std::string& path, int fps, std::string* error);
    // A buffer of captureFrameBytes to fill with the next frame; blocks while every
    // buffer waits to be written. Null once the encoder has failed.
    std::vector<uint8_t>* frameBuffer();
    // Queues the filled buffer. False once the encoder has failed.
    bool submit(std::vector<uint8_t>* frame);
    // True once ffmpeg has stopped taking frames (gone, killed, disk full).
    bool failed();
    // Writes what is queued, ends the input and waits for ffmpeg. False, with *error
    // set, when any frame could not be written or ffmpeg did not succeed.
    bool finish(std::string* error);

    // The x264 quality settings, for the summary and the README.
    static const char* qualityDescription();

private:
    void writeFrames();

    static constexpr size_t bufferCount = 4;
    PipedProcess ffmpeg;
    std::thread writer;
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::vector<uint8_t>> buffers;
    std::deque<std::vector<uint8_t>*> freeBuffers;  // under lock
    std::deque<std::vector<uint8_t>*> queued;       // under lock
    bool ending = false;                            // under lock
    bool broken = false;                            // under lock
};
