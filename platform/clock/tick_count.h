// The millisecond tick count, the demo's only time source. It is a 32-bit
// unsigned counter that wraps after about 49.7 days, like the system tick count
// it stands in for. Tests install their own source to drive time by hand.
#pragma once

#include <cstdint>
#include <functional>

uint32_t GetTickCount();

// An empty function restores the system clock (milliseconds since an arbitrary start).
using TickSource = std::function<uint32_t()>;
void setTickSource(TickSource source);
