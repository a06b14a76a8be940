// For tests of CPorts and of what talks through it (link torva_ports). A CPorts under test with fake services, a temporary working directory, a captured log,
// and a notification that drains the receive queue as the dialogs do.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "support/log_capture.h"
#include "ports/ports.h"
#include "support/fake_services.h"
#include "support/serial_settings.h"

namespace torva::test {

class CReceiver {
 public:
  // The callback for m_fnNotify: takes everything queued, then returns.
  std::function<void()> Callback(CPorts& port) {
    return [this, &port] {
      std::lock_guard lock(m_mutex);
      while (!port.m_QueueRead.IsEmpty()) m_bytes.push_back(port.m_QueueRead.Get());
      ++m_nCalls;
      m_cv.notify_all();
    };
  }
  // Waits (bounded, so a fault fails instead of hanging) until count bytes came in.
  std::vector<uint8_t> WaitFor(size_t count, int timeoutMs = 5000) {
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                  [&] { return m_bytes.size() >= count; });
    return m_bytes;
  }
  int WaitCalls(int calls, int timeoutMs = 5000) {
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_nCalls >= calls; });
    return m_nCalls;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::vector<uint8_t> m_bytes;
  int m_nCalls = 0;
};

class PortFixture : public ::testing::Test {
 protected:
  void SetSerial(const std::string& path, int flowControl = 3, uint8_t function = 1) {
    SetSerialSettings(port, path, flowControl, function);
  }

  ScopedFakeServices services;
  ScopedTempDir dir{true};
  CLogCapture log{dir.File("error.log")};
  CReceiver receiver;
  CPorts port;
};

}  // namespace torva::test
