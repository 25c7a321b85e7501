// The window every drawing benchmark times its frames in, and its frame count argument.
#pragma once

// The arguments of a drawing benchmark: a frame count (at least 10; defaultFrames
// when none is given) and, after --shots, a folder to save its pictures in.
struct BenchArguments {
    int frames;
    const char* shotDirectory;  // null without --shots
};
BenchArguments benchArguments(int argc, char** argv, int defaultFrames);

// The frame count alone, for the benchmarks that save no pictures.
int frameCountArgument(int argc, char** argv, int defaultFrames);

// Saves the window's colour buffer (width x height from the lower-left corner) as
// directory/name, a PNG file; says so on stderr when it cannot.
void saveWindowShot(const char* directory, const char* name, int width, int height);

// Opens the windowed GL window "oku bench" of the given size (32-bit colour) and
// loads the GL extensions. Says so on stderr when there is no display; false on failure.
bool openBenchWindow(int width, int height);
