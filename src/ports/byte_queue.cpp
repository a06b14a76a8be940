#include "ports/byte_queue.h"

namespace torva {

ByteQueue& ByteQueue::operator=(const ByteQueue& other) {
  if (this != &other) {
    m_buffer = other.m_buffer;
    m_nRead.store(other.m_nRead.load(std::memory_order_acquire), std::memory_order_relaxed);
    m_nWrite.store(other.m_nWrite.load(std::memory_order_acquire), std::memory_order_release);
  }
  return *this;
}

void ByteQueue::Clear() {
  m_buffer.fill(0);
  m_nRead.store(0, std::memory_order_relaxed);
  m_nWrite.store(0, std::memory_order_release);
}

void ByteQueue::Put(uint8_t byte) {
  const int w = m_nWrite.load(std::memory_order_relaxed);
  m_buffer[static_cast<size_t>(w)] = byte;
  m_nWrite.store((w + 1) % kSize, std::memory_order_release);
}

uint8_t ByteQueue::Get() {
  const int r = m_nRead.load(std::memory_order_relaxed);
  // Acquire on the write index makes the producer's byte at r visible.
  (void)m_nWrite.load(std::memory_order_acquire);
  const uint8_t byte = m_buffer[static_cast<size_t>(r)];
  m_nRead.store((r + 1) % kSize, std::memory_order_release);
  return byte;
}

bool ByteQueue::IsEmpty() const {
  return m_nRead.load(std::memory_order_acquire) == m_nWrite.load(std::memory_order_acquire);
}

int ByteQueue::GetCount() const {
  const int w = m_nWrite.load(std::memory_order_acquire);
  const int r = m_nRead.load(std::memory_order_acquire);
  return (w - r + kSize) % kSize;
}

}  // namespace torva
