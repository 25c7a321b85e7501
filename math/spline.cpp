#include "math/spline.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <new>

namespace {

// Reads one number of the given kind; false if the stream does not hold one
// ending in white space or the end of the file ("2.5" is no key count, "1-2" no
// pair of values).
template <typename T>
bool readNumber(std::istream& in, T& value) {
    if (!(in >> value)) return false;
    int next = in.peek();
    return next == std::char_traits<char>::eof() || std::isspace(next);
}

// Bytes left in the stream from its current position, or -1 if it cannot tell.
int64_t bytesRemaining(std::istream& in) {
    std::streampos here = in.tellg();
    if (here < 0) return -1;
    in.seekg(0, std::ios::end);
    std::streampos end = in.tellg();
    in.seekg(here);
    if (end < 0 || !in) return -1;
    return static_cast<int64_t>(end - here);
}

}  // namespace

Spline::Spline(const char* path) {
    loaded = false;
    load(path);
}

Spline::~Spline() { release(); }

// Reads the whole file into fresh arrays and takes them over only if it reads
// as a valid path: a damaged file leaves the path not loaded rather than half
// filled. Rejected are files whose header or rows are missing or malformed, a
// dimension below 1, a loop flag other than 0 or 1, no keys, more numbers
// claimed than the file has bytes for, key times that do not strictly increase,
// and numbers (or second derivatives) that are not finite.
void Spline::load(const char* path) {
    if (loaded) release();
    if (!path) return;

    std::ifstream in(path);
    if (!in) return;

    int newDimension = 0, loopFlag = 0, newKeyCount = 0;
    if (!readNumber(in, newDimension) || !readNumber(in, loopFlag) || !readNumber(in, newKeyCount)) return;
    if (newDimension < 1 || newKeyCount < 1 || (loopFlag != 0 && loopFlag != 1)) return;

    // Every number takes at least one character and one separator before it, so
    // the file's size bounds how many rows it can hold; this keeps a tiny file
    // that claims billions of keys from allocating anything.
    const int64_t columns = static_cast<int64_t>(newDimension) + 1;
    const int64_t numbers = static_cast<int64_t>(newKeyCount) * columns;
    const int64_t remaining = bytesRemaining(in);
    if (remaining < 0 || numbers > remaining / 2) return;

    const size_t tableSize = static_cast<size_t>(numbers);
    std::unique_ptr<float[]> table(new (std::nothrow) float[tableSize]);
    std::unique_ptr<float[]> derivatives(new (std::nothrow) float[tableSize]);
    std::unique_ptr<float[]> current(new (std::nothrow) float[static_cast<size_t>(newDimension)]);
    std::unique_ptr<float[]> work(new (std::nothrow) float[static_cast<size_t>(newKeyCount)]);
    if (!table || !derivatives || !current || !work) return;

    for (size_t i = 0; i < tableSize; ++i) {
        if (!readNumber(in, table[i]) || !std::isfinite(table[i])) return;
        derivatives[i] = 0.0f;
    }
    for (int k = 1; k < newKeyCount; ++k) {
        if (!(table[k * columns] > table[(k - 1) * columns])) return;
    }

    // Natural cubic spline with unit knot spacing, per value column: solves
    // s[k-1] + 4 s[k] + s[k+1] = 6 (y[k+1] - 2 y[k] + y[k-1]) with s = 0 at both ends.
    const int n = newKeyCount;
    for (int64_t c = 1; c < columns; ++c) {
        float* s = derivatives.get() + c;
        const float* y = table.get() + c;
        auto at = [columns](int k) { return static_cast<int64_t>(k) * columns; };
        for (int k = 0; k < n; ++k) work[k] = 0.0f;
        s[at(0)] = 0.0f;
        s[at(n - 1)] = 0.0f;
        for (int k = 1; k <= n - 2; ++k) {
            float p = s[at(k - 1)] + 4.0f;
            s[at(k)] = static_cast<float>(-1.0 / p);
            double curvature = static_cast<double>(y[at(k + 1)]) - 2.0 * y[at(k)] + y[at(k - 1)];
            work[k] = static_cast<float>((6.0 * curvature - work[k - 1]) / p);
        }
        for (int k = n - 2; k >= 0; --k) {
            s[at(k)] = static_cast<float>(static_cast<double>(s[at(k)]) * s[at(k + 1)] + work[k]);
            if (!std::isfinite(s[at(k)])) return;
        }
    }

    // Until the first evaluate the path reads as its first key.
    for (int c = 0; c < newDimension; ++c) current[c] = table[c + 1];

    keyTable = table.release();
    secondDerivatives = derivatives.release();
    values = current.release();
    dimension = newDimension;
    keyCount = newKeyCount;
    loop = loopFlag == 1;
    startTime = keyTable[0];
    endTime = keyTable[(keyCount - 1) * columns];
    loaded = true;
}

bool Spline::evaluate(float time) {
    if (!loaded) return false;
    const int columns = dimension + 1;
    const float* lastKey = keyTable + static_cast<int64_t>(keyCount - 1) * columns;

    // A looping path repeats with period endTime; one that ends at or before 0
    // has no period and holds its last key like a path that does not loop.
    if (time >= endTime && (!loop || !(endTime > 0.0f))) {
        for (int c = 0; c < dimension; ++c) values[c] = lastKey[c + 1];
        return true;
    }
    if (time >= endTime) {
        double cycles = std::floor(static_cast<double>(static_cast<float>(static_cast<double>(time) / endTime)));
        time = static_cast<float>(static_cast<double>(time) - cycles * endTime);
    }

    // Before the first key (or a time that is no number) there is no segment:
    // hold the first key. Rounding in the loop reduction of a huge time can also
    // land at or past the end: hold the last key.
    if (!(time >= startTime)) {
        for (int c = 0; c < dimension; ++c) values[c] = keyTable[c + 1];
        return true;
    }
    int next = 1;
    while (next < keyCount && !(keyTable[static_cast<int64_t>(next) * columns] > time)) ++next;
    if (next >= keyCount) {
        for (int c = 0; c < dimension; ++c) values[c] = lastKey[c + 1];
        return true;
    }

    const float* a = keyTable + static_cast<int64_t>(next - 1) * columns;
    const float* b = a + columns;
    const float* sa = secondDerivatives + static_cast<int64_t>(next - 1) * columns;
    const float* sb = sa + columns;
    const float f = static_cast<float>((static_cast<double>(time) - a[0]) / (static_cast<double>(b[0]) - a[0]));
    const double g = f;
    for (int c = 1; c < columns; ++c) {
        double linear = (1.0 - g) * a[c] + g * b[c];
        double bend = g * (g - 1.0) / 6.0 * ((g - 2.0) * sa[c] - (g + 1.0) * sb[c]);
        values[c - 1] = static_cast<float>(linear - bend);
    }
    return true;
}

void Spline::release() {
    if (!loaded) return;
    loaded = false;
    dimension = 0;
    keyCount = 0;
    startTime = endTime = 0.0f;
    loop = false;
    delete[] values;
    delete[] keyTable;
    delete[] secondDerivatives;
    values = keyTable = secondDerivatives = nullptr;
}
