// torvaset-cli as a user meets it: every bad input is a usage error or a failed job with the
// line that says why, and a job that succeeds says so in one line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "bmp_builder.h"
#include "support/fake_services.h"
#include "support/free_port.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

const std::string kCli = TORVA_BIN_DIR "/torvaset-cli";

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// "$DIR" and "$FREE" become the folder and a loopback port nobody listens on.
std::string Expand(const ScopedTempDir& dir, const std::string& text) {
  static const int closedPort = ClosedLoopbackPort();
  const std::string inDir = std::regex_replace(text, std::regex("\\$DIR"), dir.Path());
  return std::regex_replace(inDir, std::regex("\\$FREE"), std::to_string(closedPort));
}

// Runs the command line in dir with English messages.
CliRun RunIn(const ScopedTempDir& dir, std::string args) {
  args = Expand(dir, args);
  const std::string cmd = "cd '" + dir.Path() + "' && LANG=C LC_ALL= LC_MESSAGES= " + kCli + " " +
                          args + " >stdout 2>stderr </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFileBytes(dir.File("stdout")),
          ReadFileBytes(dir.File("stderr"))};
}

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

struct BadInput {
  const char* args;
  int status;
  const char* says;  // in stderr
};

void PrintTo(const BadInput& b, std::ostream* os) { *os << b.args; }

const char* const kJob = "--model TORVA40/45S --port serial:/dev/ttyUSB97";

class CliBadInput : public testing::TestWithParam<BadInput> {};

TEST_P(CliBadInput, ExitsWithTheStatusAndSaysWhy) {
  ScopedTempDir dir;
  WriteFileBytes(dir.File("a.bmp"), BuildGrey24(16, 8, 30));
  const BadInput& b = GetParam();
  std::string args = std::regex_replace(b.args, std::regex("JOB"), kJob);
  const CliRun r = RunIn(dir, args);
  EXPECT_EQ(r.status, b.status) << r.err;
  EXPECT_NE(r.err.find(Expand(dir, b.says)), std::string::npos) << r.err;
  if (b.status == 2) {
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
  }
  // Nothing was written where a usage error stopped the job.
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.prn")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliBadInput,
    testing::Values(
        BadInput{"logo convert a.bmp --out o.bin --frob", 2, "unknown option '--frob'"},
        BadInput{"logo convert a.bmp a.bmp --out o.bin", 2, "one argument too many: 'a.bmp'"},
        BadInput{"logo convert a.bmp --out", 2, "--out needs a value"},
        BadInput{"logo convert a.bmp --out o.bin --gray=1", 2, "--gray takes no value"},
        BadInput{"logo upload JOB --yes --frob a.bmp", 2, "unknown option '--frob'"},
        BadInput{"logo upload --port file:out.prn --model TORVA40/45S --baud 12345 a.bmp", 2,
                 "--baud takes 9600, 19200, 38400, 57600 or 115200, not '12345'"},
        BadInput{"logo print JOB --all --range 1", 2, "give either --all or --range"},
        BadInput{"logo print JOB --all --center-all", 2, "unknown option '--center-all'"},
        BadInput{"logo erase JOB extra", 2, "erase takes no files"},
        BadInput{"net search extra", 2, "unexpected argument 'extra'"},
        BadInput{"net search --yes", 2, "unknown option '--yes'"},
        BadInput{"net set --mac", 2, "--mac needs a value"},
        BadInput{"ports --all", 2, "unknown option '--all'"},
        BadInput{"models extra", 2, "unexpected argument 'extra'"},
        BadInput{"--version extra", 2, "takes no arguments"},
        // Failed jobs: the system's message, then where and the system's reason.
        BadInput{"logo convert missing.bmp --out o.bin", 1,
                 "File open error!!\ntorvaset-cli: missing.bmp: No such file or directory\n"},
        BadInput{"logo convert a.bmp --out $DIR/none/o.bin", 1,
                 "/none/o.bin: No such file or directory"},
        BadInput{"logo upload JOB --yes missing.bmp", 1,
                 "torvaset-cli: missing.bmp: No such file or directory"},
        BadInput{"logo print JOB --all", 1,
                 "ERROR : Port open.\ntorvaset-cli: /dev/ttyUSB97: No such file or directory\n"},
        BadInput{"logo upload --port file:$DIR/none/out.prn --model TORVA40/45S --yes a.bmp", 1,
                 "/none/out.prn: No such file or directory\n"},
        BadInput{"logo print --model TORVA40/45E-II --port tcp:127.0.0.1:$FREE --all", 1,
                 "ERROR : Port open.\ntorvaset-cli: 127.0.0.1:$FREE: connection refused\n"}));

TEST(CliDone, JobsThatSucceedSayWhatTheyDidAndEmptyNumbersAreNamed) {
  ScopedTempDir dir;
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
    WriteFileBytes(dir.File(name), BuildGrey24(16, 8, 30));
  }
  CSimProcess sim;
  ASSERT_TRUE(sim.Start({"--link", dir.File("line"), "--capture", dir.File("cap.bin")}))
      << sim.Error();
  const std::string job = "--model TORVA40/45S --port serial:line ";

  CliRun r = RunIn(dir, "logo upload " + job + "--yes a.bmp b.bmp c.bmp");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(HasLine(r.err, "3 images written")) << r.err;

  const size_t uploaded = ReadFileBytes(dir.File("cap.bin")).size();
  r = RunIn(dir, "logo print " + job + "--range 2,5");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("torvaset.INI records 3 images written here; number 5 may hold no image"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(HasLine(r.err, "2 print commands sent, 1 of them for numbers that may be empty"))
      << r.err;
  // The printer still got both print commands: the note changes nothing that is sent.
  std::string printed;
  for (int i = 0; i < 400 && printed.find("\x1C\x70\x05") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    printed = ReadFileBytes(dir.File("cap.bin")).substr(uploaded);
  }
  EXPECT_NE(printed.find(std::string("\x1C\x70\x02\x00", 4)), std::string::npos);
  EXPECT_NE(printed.find(std::string("\x1C\x70\x05\x00", 4)), std::string::npos);

  r = RunIn(dir, "logo print " + job + "--range 1-3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "3 images printed\n");

  r = RunIn(dir, "logo convert a.bmp --out a.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "a.bmp: 16 x 8 dots, " +
                       std::to_string(ReadFileBytes(dir.File("a.bin")).size()) +
                       " bytes written to a.bin\n");
}

TEST(CliModels, ListsTheSettingsFileAdditionsAfterTheBuiltInNames) {
  ScopedTempDir dir;
  WriteFileBytes(dir.File("torvaset.INI"), "[DEVICELIST]\r\nModel1=TORVA10S\r\nModel2=XYZ-9\r\n");
  const CliRun r = RunIn(dir, "models --json");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(
      r.out.find(
          R"({"name": "TORVA40/45E-II", "modelCode": 6, "interface": "Ethernet", "source": "built-in"})"),
      std::string::npos)
      << r.out;
  EXPECT_NE(
      r.out.find(
          R"({"name": "TORVA10S", "modelCode": 2, "interface": "serial", "source": "DEVICELIST"})"),
      std::string::npos)
      << r.out;
  EXPECT_NE(
      r.out.find(
          R"({"name": "XYZ-9", "modelCode": 1, "interface": "unknown model", "source": "DEVICELIST"})"),
      std::string::npos)
      << r.out;
}

}  // namespace
}  // namespace torva::test
