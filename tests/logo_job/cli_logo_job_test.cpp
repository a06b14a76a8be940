// torvaset-cli logo upload / print / erase as processes against the simulator: exit status,
// messages, the settings file of the working directory, what reached the printer.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/messages.h"
#include "bmp_builder.h"
#include "support/fake_services.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

const std::string kCli = TORVA_BIN_DIR "/torvaset-cli";

class CliLogoJob : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "torvaset-cli is not built";
    std::filesystem::create_directories(dir.File("paper"));
    WriteFileBytes(dir.File("a.bmp"), BuildGrey24(64, 16, 30));
    WriteFileBytes(dir.File("b.bmp"), BuildGrey24(32, 8, 30));
  }
  void StartSim(std::vector<std::string> args) {
    args.insert(args.end(), {"--paper-dir", dir.File("paper"), "--capture", dir.File("cap.bin")});
    ASSERT_TRUE(sim.Start(args)) << sim.Error();
  }
  int Run(const std::string& args) {
    const std::string cmd = "cd " + dir.Path() + " && LANG=C LC_ALL= LC_MESSAGES= " + kCli +
                            " logo " + args + " >stdout 2>stderr </dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Err() const { return ReadFileBytes(dir.File("stderr")); }
  std::string Ini() const { return ReadFileBytes(dir.File("torvaset.INI")); }
  std::string CaptureOf(size_t count) const {
    std::string got;
    for (int i = 0; i < 1000 && got.size() < count; ++i) {
      got = ReadFileBytes(dir.File("cap.bin"));
      if (got.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
  }
  static std::string OneLine(const char* text) {
    std::string s;
    for (const char* p = text; *p; ++p) {
      if (*p != '\r') s += *p == '\n' ? ' ' : *p;
    }
    return s;
  }

  ScopedTempDir dir;
  CSimProcess sim;
};

TEST_F(CliLogoJob, UploadAndPrintOverALinkToThePseudoTerminal) {
  StartSim({"--link", dir.File("torva-serial")});
  ASSERT_EQ(Run("upload --port serial:torva-serial --model TORVA20II-S --yes b.bmp a.bmp"), 0)
      << Err();
  EXPECT_NE(Err().find(OneLine(theMsg.English(MsgId::NvDefinitionComplete))), std::string::npos)
      << Err();
  EXPECT_EQ(Ini(), "[LOGO]\r\nLogofile1=" + dir.File("b.bmp") + "\r\nLogofile2=" +
                       dir.File("a.bmp") + "\r\n");
  // A bare path that is a terminal is a serial line.
  ASSERT_EQ(Run("print --port " + dir.File("torva-serial") +
                " --model TORVA20II-S --range 2,1 --header --mode double-height"),
            0)
      << Err();
  const size_t upload = 5 + 3 + 4 + 32 + 4 + 128;
  const size_t print = 5 + 2 * (15 + 4);
  const std::string cap = CaptureOf(upload + print);
  ASSERT_EQ(cap.size(), upload + print);
  EXPECT_EQ(cap.substr(upload + 5), "--- Logo 2 ---\n" + std::string("\x1C\x70\x02\x02", 4) +
                                        "--- Logo 1 ---\n" + std::string("\x1C\x70\x01\x02", 4));
  for (int i = 0; i < 500 && !std::filesystem::exists(dir.File("paper/paper-0002.png")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(std::filesystem::exists(dir.File("paper/paper-0002.png")));
}

TEST_F(CliLogoJob, UploadToAFileHasOnlyTheDefineCommand) {
  ASSERT_EQ(Run("upload --port file:out.prn --model TORVA20II-S --yes --star a.bmp"), 0) << Err();
  const std::string bytes = ReadFileBytes(dir.File("out.prn"));
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x1B\x1C\x71\x01\x08\x00\x02\x00", 8));
  EXPECT_EQ(bytes.size(), 4 + 4 + 128u);
}

TEST_F(CliLogoJob, EraseOverTcp) {
  StartSim({"--no-serial", "--tcp-port", "0"});
  ASSERT_EQ(Run("erase --yes --model TORVA20II-E --port tcp:127.0.0.1:" +
                std::to_string(sim.TcpPort())),
            0)
      << Err();
  EXPECT_EQ(CaptureOf(7), std::string("\x1C\x71\x01\x00\x00\x00\x00", 7));
  EXPECT_EQ(Ini(), "");
  EXPECT_NE(Err().find("torvaset-cli: every NV image of the printer was erased"), std::string::npos)
      << Err();
}

TEST_F(CliLogoJob, HelpListsTheAnswerFlagOfEveryJob) {
  ASSERT_EQ(Run("--help"), 0);
  const std::string help = ReadFileBytes(dir.File("stdout"));
  for (const char* job : {"upload", "print", "erase"}) {
    // The job's usage: its line and the indented lines that continue it.
    std::size_t at = help.find(std::string("\n  ") + job + " ");
    ASSERT_NE(at, std::string::npos) << help;
    std::string usage;
    do {
      const std::size_t next = help.find('\n', at + 1);
      usage += help.substr(at, next - at);
      at = next;
    } while (at != std::string::npos && help.compare(at, 4, "\n   ") == 0);
    EXPECT_NE(usage.find("[--yes]"), std::string::npos) << job << ": " << usage;
  }
}

TEST_F(CliLogoJob, AnUnsavedListFailsAfterTheCompletion) {
  // A directory where the settings file should be: the images are sent, the list is not kept.
  std::filesystem::create_directory(dir.File("torvaset.INI"));
  EXPECT_EQ(Run("upload --port file:out.prn --model TORVA20II-S --yes a.bmp"), 1) << Err();
  const std::string err = Err();
  const std::size_t complete = err.find(OneLine(theMsg.English(MsgId::NvDefinitionComplete)));
  const std::size_t warning = err.find("The logo list could not be saved to the settings file.");
  EXPECT_NE(complete, std::string::npos) << err;
  EXPECT_NE(warning, std::string::npos) << err;
  EXPECT_LT(complete, warning) << err;
  EXPECT_FALSE(ReadFileBytes(dir.File("out.prn")).empty());
}

TEST_F(CliLogoJob, VanishedPrinterFailsAndKeepsTheSection) {
  const std::string before = "[LOGO]\r\nLogofile1=earlier.bmp\r\n";
  WriteFileBytes(dir.File("torvaset.INI"), before);
  WriteFileBytes(dir.File("big.bmp"), BuildGrey24(512, 200, 30));
  StartSim({"--close-after", "3000"});
  EXPECT_EQ(Run("upload --yes --model TORVA20II-S --log job.log --port " + sim.SerialPath() +
                " big.bmp big.bmp"),
            1);
  EXPECT_NE(Err().find(theMsg.English(MsgId::CommCannotTransmit)), std::string::npos) << Err();
  EXPECT_EQ(Err().find(OneLine(theMsg.English(MsgId::NvDefinitionComplete))), std::string::npos)
      << Err();
  EXPECT_NE(ReadFileBytes(dir.File("job.log")).find("CPrograss "), std::string::npos);
  EXPECT_EQ(Ini(), before);
}

TEST_F(CliLogoJob, RefusalsComeBeforeAnythingIsSent) {
  EXPECT_EQ(Run("upload --model TORVA20II-S --yes a.bmp"), 2);  // no port
  EXPECT_EQ(Run("upload --port file:x.prn --yes a.bmp"), 2);    // no model
  // A model name that no model line starts with is refused with the dialog's text.
  EXPECT_EQ(Run("upload --port file:x.prn --model BOGUS --yes a.bmp"), 2);
  EXPECT_NE(Err().find(theMsg.English(MsgId::InvalidDevice)), std::string::npos) << Err();
  EXPECT_EQ(Run("erase --port file:x.prn --model torva40/45s --yes"), 2);
  EXPECT_EQ(Run("upload --port file:x.prn --model TORVA10-S --gray --yes a.bmp"), 2);
  EXPECT_EQ(Run("print --port file:x.prn --model TORVA20II-S --all"), 2);
  EXPECT_EQ(Run("print --port usb --model TORVA20II-U --all --range 1"), 2);
  EXPECT_EQ(Run("print --port tcp:127.0.0.1:1 --model TORVA20II-E --range 1--2"), 1);
  EXPECT_NE(Err().find(theMsg.English(MsgId::NvImageNumberIncorrect)), std::string::npos);
  EXPECT_EQ(Run("upload --port " + dir.File("a.bmp") + " --model TORVA20II-S --yes a.bmp"), 2);
  // Declining the question (no --yes, no terminal) sends nothing and fails.
  EXPECT_EQ(Run("upload --port file:y.prn --model TORVA20II-S a.bmp"), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("y.prn")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.prn")));
}

}  // namespace
}  // namespace torva::test
