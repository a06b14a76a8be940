#include <csignal>
#include <cstdlib>

#include "app/platform.h"
#include "app/services.h"

namespace torva {

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

void IgnoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

int SystemDefaultLanguageId() {
  return LanguageIdFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                              std::getenv("LANG"));
}

}  // namespace torva
