#pragma once
// The wall clock, as the platform's instant type.

#include <chrono>

namespace foundation {

using Date = std::chrono::system_clock::time_point;

inline Date now() {
    return std::chrono::system_clock::now();
}

inline double secondsSince1970(Date date) {
    return std::chrono::duration<double>(date.time_since_epoch()).count();
}

inline double millisecondsSince1970(Date date) {
    return secondsSince1970(date) * 1000.0;
}

}  // namespace foundation
