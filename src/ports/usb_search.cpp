#include "ports/usb_search.h"

#include "app/services.h"

namespace torva {

int SearchUsbPrinter(const std::vector<std::string>& ids,
                     const std::function<int(const std::string&)>& find,
                     const std::function<void()>& beforePause) {
  int count = -1;
  for (int attempt = 0; attempt < kUsbSearchAttempts; ++attempt) {
    for (const std::string& id : ids) {
      count = find(id);
      if (count > 0) return count;
    }
    if (beforePause) beforePause();
    Clock().SleepMs(kUsbSearchPauseMs);
  }
  return count;
}

}  // namespace torva
