#include "ports/byte_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace torva {
namespace {

void Fill(ByteQueue& q, int n) {
  for (int i = 0; i < n; ++i) q.Put(static_cast<uint8_t>(i));
}

TEST(ByteQueue, ReadOf200DoesNotFitWith4000Queued) {
  ByteQueue q;
  Fill(q, 4000);
  EXPECT_FALSE(q.Fits(200));
  EXPECT_EQ(q.GetCount(), 4000);
}

TEST(ByteQueue, ReadOf2000FitsWith2095QueuedAndFillsItToTheBrim) {
  ByteQueue q;
  Fill(q, 2095);
  ASSERT_TRUE(q.Fits(2000));
  Fill(q, 2000);
  EXPECT_EQ(q.GetCount(), 4095);
  EXPECT_FALSE(q.IsEmpty());
  EXPECT_FALSE(q.Fits(1));
}

TEST(ByteQueue, FullQueueComesOutInOrderAcrossTheWrap) {
  ByteQueue q;
  // Start in the middle of the buffer so that the 4095 bytes wrap around its end.
  Fill(q, 3000);
  while (!q.IsEmpty()) q.Get();
  for (int i = 0; i < 4095; ++i) q.Put(static_cast<uint8_t>(i * 7));
  EXPECT_EQ(q.GetCount(), 4095);
  for (int i = 0; i < 4095; ++i) {
    ASSERT_FALSE(q.IsEmpty());
    ASSERT_EQ(q.Get(), static_cast<uint8_t>(i * 7)) << "at " << i;
  }
  EXPECT_TRUE(q.IsEmpty());
  EXPECT_EQ(q.GetCount(), 0);
}

TEST(ByteQueue, ProducerAndConsumerThreadsKeepEveryByteInOrder) {
  ByteQueue q;
  constexpr int kTotal = 300000;
  std::thread producer([&] {
    for (int i = 0; i < kTotal;) {
      // Bursts of up to 97 bytes, each only when it fits, as the watch thread does.
      const int burst = 1 + i % 97;
      if (!q.Fits(burst)) {
        std::this_thread::yield();
        continue;
      }
      for (int k = 0; k < burst && i < kTotal; ++k, ++i) q.Put(static_cast<uint8_t>(i % 251));
    }
  });
  int next = 0;
  int errors = 0;
  while (next < kTotal) {
    if (q.IsEmpty()) {
      std::this_thread::yield();
      continue;
    }
    if (q.Get() != static_cast<uint8_t>(next % 251)) ++errors;
    ++next;
  }
  producer.join();
  EXPECT_EQ(errors, 0);
  EXPECT_TRUE(q.IsEmpty());
}

}  // namespace
}  // namespace torva
