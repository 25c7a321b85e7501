// The scene clock: seconds as a double, accumulated from the millisecond tick
// count each time the owner calls update(). Between updates it reports the same time.
#pragma once

#include <cstdint>

class Timer {
public:
    Timer();
    void reset();
    void update();
    double total() const { return total_; }
    double delta() const { return delta_; }

private:
    uint32_t lastTick;
    double delta_;
    double total_;
};
