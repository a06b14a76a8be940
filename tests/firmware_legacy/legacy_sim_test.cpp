// The downloader against the simulated printer over its pseudo-terminal: the simulator
// decodes the frames itself and keeps what it flashed, so the test compares that with the
// image.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/connection_settings.h"
#include "app/models.h"
#include "firmware/legacy_downloader.h"
#include "ports/ports.h"
#include "support/fake_services.h"
#include "support/sim_process.h"

namespace torva {
namespace {

class LegacySimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_strOldProfile = theApp().m_strProfilePath;
    theApp().m_strProfilePath = dir.File("torvaset.INI");
    image.resize(0x1F0000 + 1000);  // ends inside the Boot area, holds all of Program
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 31) ^ (i >> 9));
    test::WriteFileBytes(dir.File("fw.bin"), image);
  }
  void TearDown() override { theApp().m_strProfilePath = m_strOldProfile; }

  bool StartSim(std::vector<std::string> extra) {
    extra.insert(extra.end(), {"--paper-dir", dir.Path()});
    if (!sim.Start(extra)) return false;
    port.m_strPortName = sim.SerialPath();
    port.m_nBaudRate = 115200;
    port.m_nDataBits = 8;
    port.m_nParity = 0;
    port.m_nStopBits = 0;
    port.m_nFlowControl = 1;
    port.m_nModel = kModelTorva10;
    port.m_nFunction = kFunctionFirmware;
    return true;
  }

  LegacyStep Download(CLegacyDownloader& dl) {
    if (!dl.Begin(dir.File("fw.bin"), "fw.bin")) return LegacyStep::Failed;
    dl.EraseWait();
    dl.AfterErase();
    return dl.RunSerial(5000);
  }

  test::ScopedFakeServices services;
  test::ScopedTempDir dir;
  test::CSimProcess sim;
  CPorts port;
  std::string image;
  std::string m_strOldProfile;
};

TEST_F(LegacySimTest, ProgramAreaArrivesIntactThroughRefusals) {
  ASSERT_TRUE(StartSim({"--legacy-nak-every", "7"})) << sim.Error();
  CLegacyPortLink link(port);
  CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaProgram));
  ASSERT_EQ(Download(dl), LegacyStep::Completed) << dl.EndText();
  EXPECT_EQ(dl.TotalRepeats(), 256 / 7);
  EXPECT_FALSE(port.m_bConnected);
  EXPECT_TRUE(test::ReadFileBytes(dir.File("flash-program.bin")) == image.substr(0x1D0000, 0x20000))
      << "flash-program.bin differs";
  const std::string receipt = test::ReadFileBytes(dir.File("flash-program.txt"));
  EXPECT_NE(receipt.find("AREA program 1D0000-1F0000"), std::string::npos) << receipt;
  EXPECT_NE(receipt.find("FRAMES 256 NAK 36"), std::string::npos) << receipt;
  EXPECT_FALSE(test::ReadFileBytes(dir.File("flash-program.png")).empty());
  EXPECT_EQ(services.clock.Waits(), std::vector<int>(6, 500));
}

TEST_F(LegacySimTest, FrameRefusedForEverEndsWithItsAddress) {
  ASSERT_TRUE(StartSim({"--legacy-nak-frame", "3"})) << sim.Error();
  CLegacyPortLink link(port);
  CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaFont));
  ASSERT_EQ(Download(dl), LegacyStep::Failed);
  EXPECT_EQ(dl.TotalRepeats(), CLegacyDownloader::kMaxRepeats);
  EXPECT_EQ(dl.EndText(),
            "The printer refused the frame at address 190400 again after 10 repeats. The "
            "firmware download was stopped.");
  EXPECT_FALSE(port.m_bConnected);
  EXPECT_FALSE(port.IsWatchThreadRunning());
  EXPECT_TRUE(test::ReadFileBytes(dir.File("flash-font.bin")).empty());
}

}  // namespace
}  // namespace torva
