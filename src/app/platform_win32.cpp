#include <windows.h>

#include "app/platform.h"

namespace torva {

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  localtime_s(&local, &t);
  return local;
}

// Windows raises no signal for a vanished far end: a failed write says so itself.
void IgnoreBrokenPipe() {}

int SystemDefaultLanguageId() { return static_cast<int>(GetSystemDefaultLangID()); }

}  // namespace torva
