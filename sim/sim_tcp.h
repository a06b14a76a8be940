// The simulated printer's TCP server, on 127.0.0.1 only. Each accepted client is a
// CSimStream of its own on the one printer.
#pragma once

#include <cstdint>
#include <memory>

#include "sim_loop.h"
#include "sim_printer.h"

namespace torva::sim {

class CSimTcpListener final : public ISimEndpoint {
 public:
  // Port 0 picks a free port. Null on failure, with the reason on stderr.
  static std::unique_ptr<CSimTcpListener> Create(CSimPrinter& printer, int port,
                                                 uint64_t closeAfter);
  ~CSimTcpListener() override;
  CSimTcpListener(const CSimTcpListener&) = delete;
  CSimTcpListener& operator=(const CSimTcpListener&) = delete;

  int Fd() const override { return m_fd; }
  void OnReadable(CSimLoop& loop) override;
  int Port() const { return m_nPort; }

 private:
  CSimTcpListener(int fd, int port, CSimPrinter& printer, uint64_t closeAfter)
      : m_fd(fd), m_nPort(port), m_printer(printer), m_nCloseAfter(closeAfter) {}

  int m_fd;
  int m_nPort;
  CSimPrinter& m_printer;
  uint64_t m_nCloseAfter;
};

}  // namespace torva::sim
