// torvaset-cli setup against the simulator over its pseudo-terminal (as a serial line and as
// a parallel port) and loopback TCP: what the command says, and what the simulated printer
// keeps afterwards.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/fake_services.h"
#include "support/sim_process.h"
#include "support/sim_settings.h"

namespace torva::test {
namespace {

const std::string kCli = TORVA_BIN_DIR "/torvaset-cli";

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

CliRun RunIn(const ScopedTempDir& dir, const std::string& args) {
  const std::string cmd = "cd '" + dir.Path() + "' && LANG=C LC_ALL= LC_MESSAGES= " + kCli + " " +
                          args + " >stdout 2>stderr </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFileBytes(dir.File("stdout")),
          ReadFileBytes(dir.File("stderr"))};
}

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// A printer set up away from the defaults: 58 mm with 30 columns, margin 300, water mark 5.
const std::map<int, uint32_t> kPreset = {{3, 2}, {250, 300}, {242, SimValue(0, 5)}};

// A simulator on a link in dir and TCP, starting from kPreset, its state in state.json and
// every received byte in cap.bin.
struct Sim {
  CSimProcess process;
  bool Start(const ScopedTempDir& dir, const std::string& name, const std::string& extra) {
    WriteSimSettings(dir.File(name + "-in.json"), kPreset);
    std::vector<std::string> args = {"--link",
                                     dir.File(name),
                                     "--tcp-port",
                                     "0",
                                     "--settings",
                                     dir.File(name + "-in.json"),
                                     "--settings-out",
                                     dir.File(name + ".json"),
                                     "--capture",
                                     dir.File(name + ".cap"),
                                     "--setup-restart-ms",
                                     "300"};
    for (const auto& w : Words(extra))
      args.push_back(std::regex_replace(w, std::regex("\\$DIR"), dir.Path()));
    return process.Start(args);
  }
  std::string Tcp() const { return "tcp:127.0.0.1:" + std::to_string(process.TcpPort()); }
};

struct SetupCase {
  const char* name;
  const char* sim;  // more simulator options
  const char* cli;  // after "setup"; LINK is the pty, TCP the address
  int status;
  std::vector<std::string> lines;  // on stdout or stderr
  std::map<int, uint32_t> state;   // settings the simulator holds afterwards
  enum Sent { kAny, kNoWrite, kNothing } eSent = kAny;
};
constexpr SetupCase::Sent kNoWrite = SetupCase::kNoWrite;
constexpr SetupCase::Sent kNothing = SetupCase::kNothing;

void PrintTo(const SetupCase& c, std::ostream* os) { *os << c.name; }

class CliSetupSim : public testing::TestWithParam<SetupCase> {};

TEST_P(CliSetupSim, SaysWhatItDidAndThePrinterKeepsIt) {
  const SetupCase& c = GetParam();
  ScopedTempDir dir;
  std::filesystem::create_directories(dir.File("paper"));
  Sim sim;
  ASSERT_TRUE(sim.Start(dir, "line", c.sim)) << sim.process.Error();
  std::string args = std::regex_replace(c.cli, std::regex("LINK"), "line");
  args = std::regex_replace(args, std::regex("TCP"), sim.Tcp());
  const CliRun r = RunIn(dir, "setup " + args);
  EXPECT_EQ(r.status, c.status) << r.out << r.err;
  for (const auto& line : c.lines) {
    EXPECT_TRUE(HasLine(r.out, line) || HasLine(r.err, line)) << line << "\n" << r.out << r.err;
  }
  sim.process.Stop();
  const auto state = ReadSimSettings(dir.File("line.json"));
  for (const auto& [a, n] : c.state) EXPECT_EQ(state.at(a), n) << "setting " << a;
  const std::string received = ReadFileBytes(dir.File("line.cap"));
  if (c.eSent == SetupCase::kNothing) {
    EXPECT_EQ(received, "");
  }
  if (c.eSent == SetupCase::kNoWrite) {  // no enter command: nothing was written
    EXPECT_EQ(received.find("\x1D\x28\x45\x03"), std::string::npos);
  }
  if (std::string(c.sim).find("--paper-dir") != std::string::npos) {
    EXPECT_TRUE(std::filesystem::exists(dir.File("paper/paper-0001.png")));
  }
}

const char* const kSerial = " --port serial:LINK --model TORVA40/45S";
const char* const kNet = " --port TCP --model TORVA40/45E-II";

std::string Job(const char* verb, const char* port, const char* rest = "") {
  return std::string(verb) + port + rest;
}

// The strings the table points at live for the whole run.
const std::string kGetSerial = Job("get", kSerial);
const std::string kGetNet = Job("get", kNet, " --json");
const std::string kGetUnknownOption = Job("get", kSerial, " --frob");
const std::string kGetLpt = "get --port lpt:LINK --model TORVA40/45P";
const std::string kSetSerial = Job("set", kSerial, " left-margin=7 watermark=12 bell-type=melody1");
const std::string kSetNet = Job("set", kNet, " receive-buffer=32 paper-width=80");
const std::string kSetTooMuchNv = Job("set", kSerial, " nv-graphic=384 nv-user=128");
const std::string kSetUnknown = Job("set", kSerial, " paper-width=57");
const std::string kSetDensityAlone = Job("set", kSerial, " color-density=dark");
const std::string kSetTwoColour = Job("set", kSerial, " paper-type=2color");
const std::string kSetTwoColourYes = Job("set", kSerial, " paper-type=2color --yes");
const std::string kDefaults = Job("defaults", kNet, " --yes");
const std::string kTest = Job("test", kSerial);

INSTANTIATE_TEST_SUITE_P(
    Jobs, CliSetupSim,
    testing::Values(
        SetupCase{"GetSerial",
                  "",
                  kGetSerial.c_str(),
                  0,
                  {"paper-width: 58", "columns: 30", "left-margin: 300", "watermark: 5",
                   "stop-bit: 1", "18 of 18 settings read"},
                  {}},
        SetupCase{"GetTcpJson",
                  "",
                  kGetNet.c_str(),
                  0,
                  {"  \"left-margin\": \"300\",", "17 of 17 settings read"},
                  {}},
        SetupCase{"GetParallel",
                  "--parallel",
                  kGetLpt.c_str(),
                  0,
                  {"paper-width: 58", "17 of 17 settings read"},
                  {}},
        SetupCase{"GetUnanswered",
                  "--setup-no-reply 243",
                  kGetSerial.c_str(),
                  1,
                  {"torvaset-cli: 17 of 18 settings read",
                   "torvaset-cli: the printer did not answer for cut-adjust (243)"},
                  {}},
        SetupCase{"GetSplitAndLate",
                  "--setup-reply-split 2 --setup-reply-delay 5",
                  kGetSerial.c_str(),
                  0,
                  {"left-margin: 300", "18 of 18 settings read"},
                  {}},
        // Only the given settings change; what every write carries keeps the printer's value.
        SetupCase{"SetSerial",
                  "",
                  kSetSerial.c_str(),
                  0,
                  {"3 settings written"},
                  {{250, 7}, {242, SimValue(0, 12)}, {245, SimValue(2, 3)}, {3, 2}, {1, 1}}},
        SetupCase{"SetTcp",
                  "",
                  kSetNet.c_str(),
                  0,
                  {"2 settings written"},
                  {{252, SimValue('3', '2')}, {3, 6}, {250, 300}, {242, SimValue(0, 5)}}},
        // The rules look at the printer's settings: its water mark against two-colour paper.
        SetupCase{"SetTwoColourYes",
                  "",
                  kSetTwoColourYes.c_str(),
                  0,
                  {"1 setting written"},
                  {{116, SimValue(1, 1)}, {242, 0}, {250, 300}}},
        SetupCase{"SetTwoColourNo",
                  "",
                  kSetTwoColour.c_str(),
                  2,
                  {},
                  {{116, SimValue(1, 0)}, {242, SimValue(0, 5)}},
                  kNoWrite},
        SetupCase{
            "SetRefusedByTheNvTotal", "", kSetTooMuchNv.c_str(), 2, {}, {{1, 1}, {2, 7}}, kNoWrite},
        SetupCase{"SetUnknownValue", "", kSetUnknown.c_str(), 2, {}, {{3, 2}}, kNothing},
        SetupCase{"UnknownOption", "", kGetUnknownOption.c_str(), 2, {}, {}, kNothing},
        SetupCase{"LineMissing",
                  "",
                  "get --port serial:/nonexistent/tty --model TORVA40/45S",
                  1,
                  {"torvaset-cli: /nonexistent/tty: No such file or directory"},
                  {},
                  kNothing},
        SetupCase{"SetDensityAlone", "", kSetDensityAlone.c_str(), 1, {}, {{118, 85}}, kNothing},
        SetupCase{"DefaultsTcp",
                  "",
                  kDefaults.c_str(),
                  0,
                  {"default settings written"},
                  {{3, 6}, {250, 0}, {242, 0}, {252, SimValue('0', '4')}, {204, 2}}},
        SetupCase{
            "TestPrint", "--paper-dir $DIR/paper", kTest.c_str(), 0, {"test page printed"}, {}}),
    [](const testing::TestParamInfo<SetupCase>& p) { return std::string(p.param.name); });

// A dealer's copy: read one printer into a file, write it into a second one over another
// link; the second then holds what the first holds.
TEST(CliSetupBackup, RestoreOntoASecondPrinterGivesTheSameState) {
  ScopedTempDir dir;
  Sim first, second;
  WriteFileBytes(dir.File("factory.json"), "{}");
  ASSERT_TRUE(first.Start(dir, "first", "")) << first.process.Error();
  ASSERT_TRUE(second.Start(dir, "second", "--settings " + dir.File("factory.json")))
      << second.process.Error();
  CliRun r = RunIn(dir, "setup backup --port serial:first --model TORVA40/45S --out copy.json");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("settings saved to copy.json\n"), std::string::npos) << r.err;
  r = RunIn(dir,
            "setup restore --port " + second.Tcp() + " --model TORVA40/45E-II copy.json --yes");
  ASSERT_EQ(r.status, 0) << r.err;
  first.process.Stop();
  second.process.Stop();
  const auto a = ReadSimSettings(dir.File("first.json"));
  EXPECT_EQ(a.at(250), 300u);
  EXPECT_EQ(a, ReadSimSettings(dir.File("second.json")));
}

TEST(CliSetupBackup, BadBackupFilesAreRefusedBeforeAnyByteIsSent) {
  ScopedTempDir dir;
  Sim sim;
  ASSERT_TRUE(sim.Start(dir, "line", "")) << sim.process.Error();
  const struct {
    const char* file;
    const char* says;
  } cases[] = {
      {"{\"paper-width\": \"58\", \"paper-colour\": \"black\"}", "paper-colour"},
      {"{\"left-margin\": \"513\"}", "left-margin"},
      {"{\"bell-times\": \"6\"}", "bell-times"},
      {"{\"nv-graphic\": \"384\", \"nv-user\": \"128\"}", "nv-"},
      {"[\"paper-width\"]", "bad.json"},
  };
  for (const auto& c : cases) {
    WriteFileBytes(dir.File("bad.json"), c.file);
    const CliRun r =
        RunIn(dir, "setup restore --port serial:line --model TORVA40/45S bad.json --yes");
    EXPECT_EQ(r.status, 1) << c.file << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.file << "\n" << r.err;
    EXPECT_TRUE(HasLine(r.err, "torvaset-cli: bad.json was not restored; nothing was sent"))
        << r.err;
  }
  EXPECT_EQ(ReadFileBytes(dir.File("line.cap")), "");
}

}  // namespace
}  // namespace torva::test
