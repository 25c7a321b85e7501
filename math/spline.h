// A motion path: keys of a time and a fixed number of values, read from a .spl
// text file and evaluated by piecewise cubic interpolation (a natural cubic
// spline through the key values with unit spacing between keys; the key times
// only place the segments in time).
//
// File format (whitespace-separated numbers, free line layout):
//   dimension D, loop flag (0 or 1), key count N, then N rows of D + 1 floats:
//   the key's time in seconds followed by its D values.
#pragma once

class Spline {
public:
    explicit Spline(const char* path);
    ~Spline();
    Spline(const Spline&) = delete;
    Spline& operator=(const Spline&) = delete;

    // Replaces any loaded path with the file's; a file that cannot be read leaves it not loaded.
    void load(const char* path);
    // Computes values for the time; false (and nothing changed) if not loaded.
    bool evaluate(float time);
    void release();

    float* values = nullptr;  // D floats: the result of the last successful evaluate
    float endTime = 0.0f;
    bool loaded = false;
    int keyCount = 0;
    int dimension = 0;
    bool loop = false;
    float startTime = 0.0f;
    float* keyTable = nullptr;           // N x (D + 1): time, then values
    float* secondDerivatives = nullptr;  // N x (D + 1); column 0 stays 0
};
