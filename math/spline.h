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

    // Replaces any loaded path with the file's. A file that cannot be opened or
    // does not read as a valid path (malformed or missing numbers, no keys, a
    // dimension below 1, a loop flag other than 0 or 1, key times that do not
    // strictly increase, numbers that are not finite) leaves it not loaded.
    void load(const char* path);
    // Computes values for the time; false (and nothing changed) if not loaded.
    // Times before the first key hold the first key, times at or past the last
    // key hold the last one unless the path loops with a positive end time.
    bool evaluate(float time);
    void release();

    float* values = nullptr;  // D floats: the last evaluate's result (the first key's until then)
    float endTime = 0.0f;
    bool loaded = false;
    int keyCount = 0;
    int dimension = 0;
    bool loop = false;
    float startTime = 0.0f;
    float* keyTable = nullptr;           // N x (D + 1): time, then values
    float* secondDerivatives = nullptr;  // N x (D + 1); column 0 stays 0
};
