// The simulator's single-threaded event loop: every transport (the pty, the TCP listener
// and its clients, later the UDP responder) is an ISimEndpoint with a file descriptor that
// the loop polls. SIGINT and SIGTERM end the loop cleanly.
#pragma once

#include <memory>
#include <vector>

namespace torva::sim {

class CSimLoop;

class ISimEndpoint {
 public:
  virtual ~ISimEndpoint() = default;
  // The descriptor to watch; -1 once the endpoint is finished (the loop then drops it).
  virtual int Fd() const = 0;
  virtual bool WantsWrite() const { return false; }
  virtual void OnReadable(CSimLoop& loop) = 0;
  virtual void OnWritable(CSimLoop&) {}
  // Milliseconds until the endpoint wants OnTimer (-1: no wish); the loop wakes for it.
  virtual int TimerMs() const { return -1; }
  virtual void OnTimer(CSimLoop&) {}
};

class CSimLoop {
 public:
  CSimLoop();
  ~CSimLoop();
  CSimLoop(const CSimLoop&) = delete;
  CSimLoop& operator=(const CSimLoop&) = delete;

  // Endpoints may be added from inside a callback (a listener adds its clients).
  void Add(std::unique_ptr<ISimEndpoint> endpoint);
  // Runs until Stop, SIGINT or SIGTERM; returns the exit code (0).
  int Run();
  void Stop() { m_bStop = true; }

  // SIGINT and SIGTERM end Run; SIGPIPE is ignored (a client may vanish mid-reply).
  static void InstallSignalHandlers();

 private:
  std::vector<std::unique_ptr<ISimEndpoint>> m_endpoints;
  std::vector<std::unique_ptr<ISimEndpoint>> m_added;
  bool m_bStop = false;
};

}  // namespace torva::sim
