// A capture: the demo's own WinMain, with its start-up, frame loop and scene
// sequence unchanged, played against the capture's frame clock, each presented
// frame read back and encoded, the music recorded as a timeline and mixed into
// the file at the end. Nothing of this is installed outside a capture: the demo
// program itself runs on the system clock and the audio device as always.
//
// Run it from the demo's run directory. Problems with the data files behave as in
// the demo (the capture goes on); message boxes are written to stderr as
// "caption: text" instead of waiting for a click, since nobody watches a capture.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

#include "capture/capture_options.h"

// Exit codes of oku-capture.
constexpr int captureSucceeded = 0;
constexpr int captureFailed = 1;      // ffmpeg missing or failed, the demo could not start, nothing to record
constexpr int captureUsageError = 2;  // the command line or the output path is wrong; nothing was run

// Sees every recorded frame (RGB, top row first) before it is encoded; for tests.
using CapturedFrameObserver = std::function<void(uint64_t frame, const uint8_t* rgb)>;

// Runs the capture, writes progress and the summary (or what went wrong) to
// `report`, and returns one of the exit codes above.
int runCapture(const CaptureOptions& options, std::FILE* report, const CapturedFrameObserver& observer = {});
