#include "support/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace torva::test {

std::string CSimProcess::ProgramPath() {
#ifdef TORVA_BIN_DIR
  return std::string(TORVA_BIN_DIR) + "/torva-printer-sim";
#else
  return "torva-printer-sim";
#endif
}

CSimProcess::~CSimProcess() { Stop(); }

bool CSimProcess::Start(const std::vector<std::string>& args, int timeoutMs) {
  Stop();
  m_lines.clear();
  m_strSerial.clear();
  m_nTcpPort = -1;
  m_strError.clear();

  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    m_strError = "pipe failed";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  const std::string program = ProgramPath();
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    ::close(out[0]);
    m_strError = "cannot start " + program + ": " + std::strerror(rc);
    return false;
  }
  m_pid = pid;
  m_nOut = out[0];

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string buffer;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      m_strError = "the simulator did not print ready in time";
      Stop();
      return false;
    }
    pollfd p{m_nOut, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char chunk[512];
    const ssize_t n = ::read(m_nOut, chunk, sizeof chunk);
    if (n <= 0) {
      m_strError = "the simulator ended before it was ready";
      Stop();
      return false;
    }
    buffer.append(chunk, static_cast<size_t>(n));
    size_t nl;
    while ((nl = buffer.find('\n')) != std::string::npos) {
      std::string line = buffer.substr(0, nl);
      buffer.erase(0, nl + 1);
      if (line == "ready") return true;
      m_lines.push_back(line);
      if (line.rfind("serial: ", 0) == 0) m_strSerial = line.substr(8);
      if (line.rfind("tcp: 127.0.0.1:", 0) == 0) m_nTcpPort = std::stoi(line.substr(15));
    }
  }
}

int CSimProcess::Stop() {
  int status = -1;
  if (m_pid > 0) {
    ::kill(m_pid, SIGTERM);
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i) {
      const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
      if (r == m_pid || (r < 0 && errno == ECHILD)) {
        ended = true;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    if (!ended) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
  }
  if (m_nOut >= 0) ::close(m_nOut);
  m_nOut = -1;
  return status;
}

}  // namespace torva::test
