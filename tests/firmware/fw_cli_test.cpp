// "torvaset-cli firmware": info explains a file, download sends the block to the simulator
// (compared with the block built byte by byte), and bad input ends with its status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "fw_test_images.h"
#include "support/fake_services.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

const std::string kCli = TORVA_BIN_DIR "/torvaset-cli";

class CliFirmware : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "torvaset-cli is not built";
    m_image = MakeFirmwareImage(31337, 2);
    WriteFirmwareImage(dir.File("ok.PXR"), m_image);
    WriteFirmwareImage(dir.File("nomarker.PXR"), MakeFirmwareImage(31337, 2, false));
    WriteFirmwareImage(dir.File("boot0.PXR"), MakeFirmwareImage(31337, 0));
    WriteFirmwareImage(dir.File("short.PXR"), MakeFirmwareImage(1, 2, true, 8388607));
  }
  int Run(const std::string& args) {
    const std::string cmd = "cd " + dir.Path() + " && LANG=C LC_ALL= LC_MESSAGES= " + kCli +
                            " firmware " + args + " >stdout 2>stderr </dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out() const { return ReadFileBytes(dir.File("stdout")); }
  std::string Err() const { return ReadFileBytes(dir.File("stderr")); }
  ScopedTempDir dir;
  CSimProcess sim;
  std::vector<uint8_t> m_image;
};

TEST_F(CliFirmware, InfoAndBadInputEndWithTheirStatusAndMessage) {
  ASSERT_TRUE(sim.Start({"--capture", dir.File("cap.bin")})) << sim.Error();
  const std::string port = "--port serial:" + sim.SerialPath() + " --model TORVA40/45S --yes ";
  struct Case {
    std::string args;
    int status;
    const char* says;  // in stdout or stderr
  };
  const Case cases[] = {
      {"info ok.PXR --model TORVA30", 0, "program     0x300000   622592    01 11 52 30"},
      {"info ok.PXR", 0, "boot version: 2 (the Boot area may be written)"},
      {"info nomarker.PXR", 1, "Wrong File!"},
      {"info short.PXR", 1, "FileSize (8388607 bytes) Error!"},
      {"info missing.PXR", 1, "ERROR : File Open"},
      {"download " + port + "--area downloader ok.PXR", 2, "needs --service"},
      {"download " + port + "--area boot --service boot0.PXR", 1, "boot version is 1..10"},
      {"download " + port + "--area extfont nomarker.PXR", 1, "Wrong File!"},
      {"download " + port + "--area nothing ok.PXR", 2, "--area takes"},
      {"download --port serial:" + sim.SerialPath() + " --model TORVA20 --area lcdfont ok.PXR", 2,
       "TORVA40 line only"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(Run(c.args), c.status);
    EXPECT_NE((Out() + Err()).find(c.says), std::string::npos) << Out() << Err();
  }
  // Nothing reached the printer from any of them.
  EXPECT_TRUE(ReadFileBytes(dir.File("cap.bin")).empty());
}

TEST_F(CliFirmware, DownloadSendsTheBlockAndSaysSoOnlyAfterUpdateComplete) {
  ASSERT_TRUE(sim.Start({"--capture", dir.File("cap.bin")})) << sim.Error();
  ASSERT_EQ(Run("download --port serial:" + sim.SerialPath() +
                " --model TORVA40/45S --area downloader --service --yes ok.PXR"),
            0)
      << Err();
  const auto expected = ReferenceBlock(m_image, "downloader", 6);
  std::string got;
  for (int i = 0; i < 200 && got.size() < expected.size(); ++i) {
    got = ReadFileBytes(dir.File("cap.bin"));
    if (got.size() < expected.size()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(got, std::string(expected.begin(), expected.end()));
  EXPECT_NE(Err().find("Update Complete."), std::string::npos) << Err();
  EXPECT_NE(Err().find("DOWNLOAD Area written: 98304 bytes"), std::string::npos) << Err();
}

}  // namespace
}  // namespace torva::test
