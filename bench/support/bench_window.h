// The window every drawing benchmark times its frames in, and its frame count argument.
#pragma once

// The frame count given as the first argument (at least 10), or defaultFrames.
int frameCountArgument(int argc, char** argv, int defaultFrames);

// Opens the windowed GL window "oku bench" of the given size (32-bit colour) and
// loads the GL extensions. Says so on stderr when there is no display; false on failure.
bool openBenchWindow(int width, int height);
