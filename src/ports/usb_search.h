// The USB printer search that waits for a printer being switched on: up to
// kUsbSearchAttempts passes over the hardware identifiers, with a pause of kUsbSearchPauseMs
// (through Clock()) after every pass that found nothing. Used by the connection dialog and
// open to the command line; the finder is passed in, so the dialog's environment and tests
// supply their own.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace torva {

inline constexpr int kUsbSearchAttempts = 16;
inline constexpr int kUsbSearchPauseMs = 250;

// find(id) gives the number of present printers of an identifier (<= 0: none). The result
// is the count of the first identifier found, or the last count (<= 0) when the passes ran
// out. beforePause runs before each pause, on the calling thread (a dialog shows progress).
int SearchUsbPrinter(const std::vector<std::string>& ids,
                     const std::function<int(const std::string&)>& find,
                     const std::function<void()>& beforePause = {});

}  // namespace torva
