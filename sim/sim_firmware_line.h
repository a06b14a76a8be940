// Line faults of the simulated printer for long transfers: reading paced at a baud rate
// (10 bits a byte), and a stall after a number of received bytes (the printer stops taking
// data, so the sender's writes stop being taken too). Set once at start by the options.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace torva::sim {

struct SimLineFaults {
  int nBaud = 0;             // 0: read as fast as the bytes come
  uint64_t nStallAfter = 0;  // 0: never
};

SimLineFaults& LineFaults();

// One connection's pacing: how much it may read now, and the wait after it read.
class CLinePace {
 public:
  // The most to read at once (small pieces keep the pace even).
  size_t Allow(size_t bufferSize, uint64_t receivedSoFar) const;
  // After n bytes were read: sleeps until the line would have carried them. True when the
  // connection is stalled for good (it then reads nothing more).
  void Took(size_t n);
  bool Stalled(uint64_t receivedSoFar) const;
  // A stalled connection's pause per wake-up, so that it does not spin.
  static void StallPause();

 private:
  bool m_bStarted = false;
  std::chrono::steady_clock::time_point m_start{};
  uint64_t m_nBytes = 0;
};

}  // namespace torva::sim
