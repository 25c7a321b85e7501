// The window every drawing benchmark times its frames in, and its frame count argument.
#pragma once

#include <functional>
#include <vector>

class Scene;

// The arguments of a drawing benchmark: a frame count (at least 10; defaultFrames
// when none is given), after --shots a folder to save its pictures in, after
// each --at a scene time to save a picture of instead of the bench's own, and
// --instructions for a run under callgrind that counts instructions instead of
// timing (bench/pass_instructions.sh).
struct BenchArguments {
    int frames;
    const char* shotDirectory;  // null without --shots
    std::vector<double> shotTimes;
    bool countInstructions;
};
BenchArguments benchArguments(int argc, char** argv, int defaultFrames);

// The frame count alone, for the benchmarks that save no pictures.
int frameCountArgument(int argc, char** argv, int defaultFrames);

// With a shot directory in `arguments`: for each scene time in `times` (seconds)
// draws a frame through drawAt, then saves the window's colour buffer (width x
// height from the lower-left corner) as <directory>/<prefix>_<seconds, 3 digits>.png
// (with tenths where the time has them);
// says so on stderr when it cannot. Without one, does nothing.
void saveShots(const BenchArguments& arguments, const char* prefix, const std::vector<double>& times, int width,
               int height, const std::function<void(double)>& drawAt);

// Opens the windowed GL window "oku bench" of the given size (32-bit colour) and
// loads the GL extensions. Says so on stderr when there is no display; false on failure.
bool openBenchWindow(int width, int height);

// Ends a scene bench: the scene's cleanup and deletion, the Cg context, the window.
void closeBenchScene(Scene* scene);
