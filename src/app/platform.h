// The few process and time services the C++ library does not offer portably. One
// implementation per platform (platform_posix.cpp, platform_win32.cpp), picked by the build.
#pragma once

#include <ctime>

namespace torva {

// The broken-down local time of t (thread-safe).
std::tm LocalTime(std::time_t t);
// A write to a line or socket whose far end vanished fails like any other write instead of
// ending the program. Called once at start.
void IgnoreBrokenPipe();
// The system's default language identifier: 1042 for Korean as used in Korea. From the
// locale variables LC_ALL, LC_MESSAGES, LANG on POSIX, from the system on Windows.
int SystemDefaultLanguageId();

}  // namespace torva
