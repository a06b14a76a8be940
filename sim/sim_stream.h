// A byte-stream connection to the simulated printer (the pty master, a TCP client): reads
// what the tool sends, feeds the printer, writes its replies back. With a close-after
// count it drops the connection once that many bytes were received: the printer that
// vanishes in the middle of a transfer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim_firmware_line.h"
#include "sim_loop.h"
#include "sim_printer.h"

namespace torva::sim {

class CSimStream : public ISimEndpoint {
 public:
  // Takes ownership of fd (non-blocking). closeAfter 0: never.
  CSimStream(int fd, CSimPrinter& printer, uint64_t closeAfter, std::string name);
  ~CSimStream() override;
  CSimStream(const CSimStream&) = delete;
  CSimStream& operator=(const CSimStream&) = delete;

  int Fd() const override { return m_fd; }
  bool WantsWrite() const override { return !m_out.empty(); }
  void OnReadable(CSimLoop& loop) override;
  void OnWritable(CSimLoop& loop) override;
  int TimerMs() const override;
  void OnTimer(CSimLoop& loop) override;

 protected:
  // Called once when the connection ends (the far end left, an error, close-after).
  virtual void OnClosed() {}
  // A read that found nothing and no data: true when this means the far end left.
  virtual bool EndOnEmptyRead() const { return true; }
  void CloseStream(const char* why);

 private:
  // Writes what the printer answered, as far as the connection takes it now.
  void Flush();

  int m_fd;
  CSimPrinter& m_printer;
  CSimInput m_input;
  uint64_t m_nCloseAfter;
  uint64_t m_nReceived = 0;
  std::string m_strName;
  std::vector<uint8_t> m_out;
  // When the printer next has something to send by itself on this connection.
  SimClock::time_point m_next = SimClock::now();
  CLinePace m_pace;
};

}  // namespace torva::sim
