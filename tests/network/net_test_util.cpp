#include "net_test_util.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/fake_services.h"

namespace torva::test {

sim::NetSimPrinter SimPrinter(const std::string& desc) {
  sim::NetSimPrinter printer;
  std::string error;
  EXPECT_TRUE(sim::ParseNetPrinter(desc, printer, error)) << error;
  return printer;
}

LoopbackNet::LoopbackNet(const std::vector<std::string>& printerOptions) {
  sim::NetResponderOptions options;
  options.m_strListenAddress = "127.0.0.1";
  options.m_nListenPort = 0;
  options.m_nReplyPort = FreeUdpPort();
  for (const auto& desc : printerOptions) options.m_printers.push_back(SimPrinter(desc));
  std::string error;
  EXPECT_TRUE(responder.Start(options, error)) << error;
  params.m_strBroadcast = "127.0.0.1";
  params.m_nPort = responder.ListenPort();
  params.m_nListenPort = options.m_nReplyPort;
}

std::vector<sim::NetSimDatagram> HeardAtLeast(const sim::CNetResponder& responder, size_t n,
                                              int waitMs) {
  for (int i = 0; i < waitMs / 10 && responder.Heard().size() < n; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return responder.Heard();
}

CliResult RunCli(const std::vector<std::string>& args) {
  ScopedTempDir dir;
  std::string command = std::string(TORVA_BIN_DIR) + "/torvaset-cli";
  for (const auto& a : args) command += " '" + a + "'";
  command += " </dev/null >'" + dir.File("out") + "' 2>'" + dir.File("err") + "'";
  CliResult result;
  const int raw = std::system(command.c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFileBytes(dir.File("out"));
  result.err = ReadFileBytes(dir.File("err"));
  return result;
}

}  // namespace torva::test
