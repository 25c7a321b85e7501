#include "platform/clock/timer.h"

#include "platform/clock/tick_count.h"

Timer::Timer() { reset(); }

void Timer::reset() {
    lastTick = GetTickCount();
    total_ = 0.0;
    delta_ = 0.0;
}

void Timer::update() {
    uint32_t now = GetTickCount();
    // Unsigned subtraction then a signed view: the tick wrap yields the right small difference.
    int32_t elapsed = static_cast<int32_t>(now - lastTick);
    lastTick = now;
    delta_ = elapsed / 1000.0;
    total_ += delta_;
}
