// A firmware sink that records what the engine writes and fails where a test says.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "firmware/fw_sink.h"

namespace torva::test {

class CRecordingSink final : public IFirmwareSink {
 public:
  explicit CRecordingSink(SinkKind kind) : m_eKind(kind) {}
  SinkKind Kind() const override { return m_eKind; }
  bool Reopen() override {
    ++m_nReopens;
    return m_bReopenOk;
  }
  bool IsOpen() const override { return m_bOpen; }
  bool Connect() override {
    ++m_nConnects;
    return m_bConnectOk;
  }
  CPorts::ChunkWrite Write(const uint8_t* data, int length, int limitMs,
                           const std::atomic<bool>*) override {
    std::lock_guard lock(m_mutex);
    m_limits.push_back(limitMs);
    CPorts::ChunkWrite r;
    r.nWritten = length;
    if (m_fnFault) r = m_fnFault(static_cast<int>(m_writes.size()), length);
    m_writes.push_back(length);
    m_bytes.insert(m_bytes.end(), data, data + r.nWritten);
    if (m_fnAfterWrite) m_fnAfterWrite();
    return r;
  }
  void Finish() override { ++m_nFinishes; }
  void Close() override { ++m_nCloses; }
  int BaudRate() const override { return 115200; }

  SinkKind m_eKind;
  bool m_bReopenOk = true;
  bool m_bConnectOk = true;
  bool m_bOpen = true;
  // The answer to write number index (0 based) of length bytes; unset: all taken.
  std::function<CPorts::ChunkWrite(int index, int length)> m_fnFault;
  std::function<void()> m_fnAfterWrite;
  std::mutex m_mutex;
  std::vector<int> m_writes;
  std::vector<int> m_limits;
  std::vector<uint8_t> m_bytes;
  int m_nReopens = 0, m_nConnects = 0, m_nFinishes = 0, m_nCloses = 0;
};

}  // namespace torva::test
