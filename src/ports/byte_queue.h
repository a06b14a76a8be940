// A circular byte queue of 4096 bytes holding at most 4095, with one producer and one
// consumer and no lock.
//
// Threads: one thread only calls Put() and GetCount() (the producer, e.g. a reader thread);
// one other thread only calls Get(), IsEmpty() and GetCount() (the consumer). Each index is
// written by one side and published with release/acquire, so the consumer sees every byte
// the producer stored before the index moved. Clear() and the copy operations are for a
// quiet queue only (before a new request is sent, or when neither side runs).
// Put() does not test for a full queue: callers keep the count below 4096.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace torva {

class ByteQueue {
 public:
  static constexpr int kSize = 4096;

  ByteQueue() { Clear(); }
  ByteQueue(const ByteQueue& other) { *this = other; }
  ByteQueue& operator=(const ByteQueue& other);
  virtual ~ByteQueue() = default;

  void Clear();
  void Put(uint8_t byte);
  uint8_t Get();
  bool IsEmpty() const;
  int GetCount() const;
  // Room for n more bytes by the keep-below-4096 rule: n < kSize - GetCount().
  bool Fits(int n) const { return n < kSize - GetCount(); }

 private:
  std::atomic<int> m_nRead{0};
  std::atomic<int> m_nWrite{0};
  std::array<uint8_t, kSize> m_buffer{};
};

}  // namespace torva
