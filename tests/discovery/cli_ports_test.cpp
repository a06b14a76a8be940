// torvaset-cli ports, run under umockdev-run with the checked-in device descriptions.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/fake_services.h"

namespace torva::test {
namespace {

struct CliResult {
  int m_nStatus = -1;
  std::string m_strOut;
};

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs torvaset-cli with the given arguments in the current directory, with the devices of
// the named description files as the only devices; stderr is left to the test log.
CliResult RunCli(const std::vector<std::string>& devices, const std::string& args) {
  std::string cmd = Quoted(TORVA_UMOCKDEV_RUN);
  for (const std::string& d : devices) {
    cmd += " --device " + Quoted(std::string(TORVA_TEST_DATA_DIR) + "/umockdev/" + d + ".umockdev");
  }
  cmd += " -- " + Quoted(std::string(TORVA_BIN_DIR) + "/torvaset-cli") + " ports " + args;
  CliResult result;
  std::FILE* pipe = popen(cmd.c_str(), "r");
  if (pipe == nullptr) return result;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) result.m_strOut.append(buf, n);
  const int status = pclose(pipe);
  result.m_nStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

const std::vector<std::string> kAllDevices = {"serial_ports", "usb_printer_3012",
                                              "usb_printer_other_vendor", "parallel_port"};

class CliPortsTest : public ::testing::Test {
 protected:
  // The command line reads its settings file from the folder it is started in.
  ScopedTempDir m_dir{true};
};

TEST_F(CliPortsTest, JsonListsTheFakedDevicesAndEscapesNames) {
  WriteFileBytes(m_dir.File("torvaset.INI"),
                 "[PORTLIST]\r\nPort1=/tmp/odd\"na\\me\r\nPort2=/tmp/\x01\xff\r\n");
  const CliResult r = RunCli(kAllDevices, "--json");
  EXPECT_EQ(r.m_nStatus, 0);
  EXPECT_EQ(r.m_strOut,
            "{\n"
            "  \"serial\": [\n"
            "    {\"port\": \"/dev/ttyACM0\", \"hardwareId\": \"USB\\\\VID_2F3D&PID_3011\"},\n"
            "    {\"port\": \"/dev/ttyACM1\", \"hardwareId\": \"USB\\\\VID_2F3D&PID_3001\"},\n"
            "    {\"port\": \"/dev/ttyS0\", \"hardwareId\": null},\n"
            "    {\"port\": \"/tmp/odd\\\"na\\\\me\", \"hardwareId\": null},\n"
            "    {\"port\": \"/tmp/\\u0001\\ufffd\", \"hardwareId\": null}\n"
            "  ],\n"
            "  \"parallel\": [\n"
            "    {\"port\": \"/dev/lp0\"}\n"
            "  ],\n"
            "  \"usbPrinters\": [\n"
            "    {\"device\": \"/dev/usb/lp0\", \"hardwareId\": \"USB\\\\VID_2F3D&PID_3012\"},\n"
            "    {\"device\": \"/dev/usb/lp3\", \"hardwareId\": \"USB\\\\VID_04B8&PID_0E28\"}\n"
            "  ]\n"
            "}\n");
}

TEST_F(CliPortsTest, JsonWithNothingFoundHasEmptyLists) {
  const CliResult r = RunCli({"usb_printer_other_vendor"}, "--json");
  EXPECT_EQ(r.m_nStatus, 0);
  EXPECT_EQ(r.m_strOut,
            "{\n"
            "  \"serial\": [],\n"
            "  \"parallel\": [],\n"
            "  \"usbPrinters\": [\n"
            "    {\"device\": \"/dev/usb/lp3\", \"hardwareId\": \"USB\\\\VID_04B8&PID_0E28\"}\n"
            "  ]\n"
            "}\n");
}

TEST_F(CliPortsTest, TextListsEachKind) {
  const CliResult r = RunCli({"usb_printer_3012", "parallel_port"}, "");
  EXPECT_EQ(r.m_nStatus, 0);
  EXPECT_EQ(r.m_strOut,
            "Serial ports:\n"
            "  (none)\n"
            "Parallel ports:\n"
            "  /dev/lp0\n"
            "USB printers:\n"
            "  /dev/usb/lp0             USB\\VID_2F3D&PID_3012\n");
}

TEST_F(CliPortsTest, UnknownArgumentIsAUsageError) {
  const CliResult r = RunCli({"usb_printer_3012"}, "--jsn 2>/dev/null");
  EXPECT_EQ(r.m_nStatus, 2);
  EXPECT_EQ(r.m_strOut, "");
}

}  // namespace
}  // namespace torva::test
