// The downloader's order of frames, answers, waits and ends, over a link that records what
// it was given (the parallel port and the printer's answers), and over a real serial line.
#include "firmware/legacy_downloader.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/connection_settings.h"
#include "app/messages.h"
#include "app/models.h"
#include "ports/ports.h"
#include "support/fake_services.h"
#include "support/pty_pair.h"

namespace torva {
namespace {

using Bytes = std::vector<uint8_t>;

class CRecordingLink final : public ILegacyLink {
 public:
  LegacyPacing Pacing() const override { return m_ePacing; }
  bool Open() override {
    ++m_nOpens;
    m_bOpen = m_bOpenOk;
    return m_bOpenOk;
  }
  bool Receiving() const override { return m_bReceiving; }
  bool Write(const uint8_t* data, int length) override {
    m_writes.emplace_back(data, data + length);
    return m_nFailWriteAt != static_cast<int>(m_writes.size());
  }
  Bytes TakeAnswers() override { return {}; }
  bool AwaitAnswers(int) override { return false; }
  void Close() override {
    if (m_bOpen) ++m_nCloses;
    m_bOpen = false;
  }

  LegacyPacing m_ePacing = LegacyPacing::Answered;
  bool m_bOpenOk = true;
  bool m_bReceiving = true;
  bool m_bOpen = false;
  int m_nFailWriteAt = 0;  // 1-based write that fails; 0: none
  int m_nOpens = 0;
  int m_nCloses = 0;
  std::vector<Bytes> m_writes;
};

class LegacyDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_strOldProfile = theApp().m_strProfilePath;
    theApp().m_strProfilePath = dir.File("torvaset.INI");
    std::string image(0x200000, '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i >> 9);
    test::WriteFileBytes(dir.File("fw.bin"), image);
  }
  void TearDown() override { theApp().m_strProfilePath = m_strOldProfile; }

  static uint32_t AddressOf(const Bytes& frame) {
    return (uint32_t{frame[4]} << 24) | (uint32_t{frame[5]} << 16) | (uint32_t{frame[6]} << 8) |
           frame[7];
  }

  test::ScopedFakeServices services;
  test::ScopedTempDir dir;
  CRecordingLink link;
  std::string m_strOldProfile;
};

// A parallel port never answers: the erase frame, the six erase steps, then every data frame
// back to back, 50 ms after each frame, and "COMPLETED" after the last.
TEST_F(LegacyDownloaderTest, ParallelPortSendsEveryFrameBackToBack) {
  link.m_ePacing = LegacyPacing::BackToBack;
  std::vector<std::string> captions;
  CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaBoot),
                       {[&](const std::string& c) { captions.push_back(c); }, {}});
  ASSERT_TRUE(dl.Begin(dir.File("fw.bin"), "fw.bin"));
  ASSERT_TRUE(dl.EraseWait());
  EXPECT_EQ(dl.AfterErase(), LegacyStep::Completed);
  dl.ShowEndMessage();

  ASSERT_EQ(link.m_writes.size(), 129u);
  EXPECT_EQ(link.m_writes[0], (Bytes{0x40, 0xF2, 0x22, 0x23, 0, 0, 0, 0, 0, 0}));
  for (size_t i = 1; i < link.m_writes.size(); ++i) {
    ASSERT_EQ(AddressOf(link.m_writes[i]), 0x1F0000 + (i - 1) * 512);
    EXPECT_EQ(link.m_writes[i][1], i == 128 ? 0xF1 : 0xF0);
  }
  std::vector<int> waits{50, 400, 400, 400, 400, 400, 400};
  waits.insert(waits.end(), 128, 50);
  EXPECT_EQ(services.clock.Waits(), waits);
  EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{"COMPLETED"});
  EXPECT_EQ(link.m_nCloses, 1);
  ASSERT_EQ(captions.size(), 7u + 128u);
  EXPECT_EQ(captions[0], "Erasing...");
  EXPECT_EQ(captions[6], "Erasing.........");
  EXPECT_EQ(captions[7], "Writing...(1F0200)");
  EXPECT_EQ(captions.back(), "Writing...(200000)");
  EXPECT_EQ(GetSetting("FWDN15", "FOLDER"), dir.File("fw.bin"));
  EXPECT_EQ(GetSetting("FWDN15", "FILE"), "fw.bin");
}

// Answers, one script per row: what the printer sends after each write, and which frame
// (by address; 0 the erase frame) each write carried.
TEST_F(LegacyDownloaderTest, AnswersDriveTheFrames) {
  struct Case {
    const char* name;
    std::vector<Bytes> answers;  // fed one after another
    std::vector<uint32_t> sent;  // addresses written, in order (0: the erase frame)
  };
  const std::vector<Case> cases = {
      {"ack releases next", {{0x10, 0x06}, {0x10, 0x06}}, {0, 0x1D0000, 0x1D0200}},
      {"lone ack ignored", {{0x06}, {0x06, 0x06}, {0x10, 0x06}}, {0, 0x1D0000}},
      {"nak repeats the same frame",
       {{0x10, 0x06}, {0x10, 0x15}, {0x10, 0x15}, {0x10, 0x06}},
       {0, 0x1D0000, 0x1D0000, 0x1D0000, 0x1D0200}},
      {"nak of the erase frame", {{0x10, 0x15}, {0x10, 0x06}}, {0, 0, 0x1D0000}},
      {"other bytes between", {{0x41, 0x10}, {0x42}, {0x10, 0x06}}, {0, 0x1D0000}},
      {"dle split across reads", {{0x10}, {0x06}}, {0, 0x1D0000}},
      {"dle dle is not an ack", {{0x10, 0x10, 0x06}}, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    link.m_writes.clear();
    services.clock.ClearWaits();
    CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaProgram));
    ASSERT_TRUE(dl.Begin(dir.File("fw.bin"), "fw.bin"));
    ASSERT_TRUE(dl.EraseWait());
    EXPECT_EQ(dl.AfterErase(), LegacyStep::Waiting);
    for (const Bytes& a : c.answers) EXPECT_EQ(dl.OnAnswers(a), LegacyStep::Waiting);
    std::vector<uint32_t> sent;
    for (size_t i = 0; i < link.m_writes.size(); ++i) {
      sent.push_back(i == 0 || link.m_writes[i][1] == 0xF2 ? 0 : AddressOf(link.m_writes[i]));
    }
    EXPECT_EQ(sent, c.sent);
    // A repeat is the very same frame.
    for (size_t i = 1; i < link.m_writes.size(); ++i) {
      if (c.sent[i] == c.sent[i - 1]) {
        EXPECT_EQ(link.m_writes[i], link.m_writes[i - 1]);
      }
    }
    // An answered line has no pause between frames: only the erase steps wait.
    EXPECT_EQ(services.clock.Waits(), std::vector<int>(6, 500));
    dl.Cancel();
  }
}

// A printer that refuses one frame for ever: ten repeats, then the end, naming the address.
TEST_F(LegacyDownloaderTest, RefusedFrameEndsAfterBoundedRepeats) {
  CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaProgram));
  ASSERT_TRUE(dl.Begin(dir.File("fw.bin"), "fw.bin"));
  dl.EraseWait();
  dl.OnAnswers({0x10, 0x06, 0x10, 0x06});
  int naks = 0;
  while (dl.OnAnswers({0x10, 0x15}) == LegacyStep::Waiting) ++naks;
  EXPECT_EQ(naks, CLegacyDownloader::kMaxRepeats);
  EXPECT_EQ(dl.Step(), LegacyStep::Failed);
  EXPECT_EQ(link.m_writes.size(), 3u + 10u);
  EXPECT_EQ(link.m_nCloses, 1);
  EXPECT_NE(dl.EndText().find("1D0200"), std::string::npos) << dl.EndText();
  // Nothing more goes out after the end.
  dl.OnAnswers({0x10, 0x06});
  EXPECT_EQ(link.m_writes.size(), 13u);
  // The count starts again for each new frame.
  link.m_writes.clear();
  CLegacyDownloader again(link, *LegacyAreaOf(kLegacyAreaProgram));
  ASSERT_TRUE(again.Begin(dir.File("fw.bin"), "fw.bin"));
  for (int frame = 0; frame < 3; ++frame) {
    for (int i = 0; i < CLegacyDownloader::kMaxRepeats; ++i) again.OnAnswers({0x10, 0x15});
    again.OnAnswers({0x10, 0x06});
  }
  EXPECT_EQ(again.Step(), LegacyStep::Waiting);
  EXPECT_EQ(again.TotalRepeats(), 30);
}

TEST_F(LegacyDownloaderTest, OpenFailuresLeaveNothingOpen) {
  link.m_bOpenOk = false;
  {
    CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaProgram));
    EXPECT_FALSE(dl.Begin(dir.File("fw.bin"), "fw.bin"));
  }
  link.m_bOpenOk = true;
  link.m_bReceiving = false;
  {
    CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaProgram));
    EXPECT_FALSE(dl.Begin(dir.File("fw.bin"), "fw.bin"));
  }
  link.m_bReceiving = true;
  {
    CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaProgram));
    EXPECT_FALSE(dl.Begin(dir.File("missing.bin"), "missing.bin"));
  }
  link.m_nFailWriteAt = 1;
  {
    CLegacyDownloader dl(link, *LegacyAreaOf(kLegacyAreaProgram));
    EXPECT_FALSE(dl.Begin(dir.File("fw.bin"), "fw.bin"));
  }
  EXPECT_EQ(services.ui.MessageTexts(),
            (std::vector<std::string>{"Init Fail", "Init Fail", "File open error!!",
                                      "ERROR : Write to port."}));
  EXPECT_EQ(link.m_nCloses, 3);
  EXPECT_FALSE(link.m_bOpen);
  EXPECT_TRUE(services.clock.Waits().empty());
}

// The printer's boot code does no handshake: the line is opened without flow control even
// when the connection chose H/W, and the erase frame goes out on it.
TEST_F(LegacyDownloaderTest, SerialLineOpensWithoutFlowControl) {
  test::CPtyPair pty;
  termios pre{};
  ASSERT_EQ(tcgetattr(pty.SlaveFd(), &pre), 0);
  pre.c_cflag |= CRTSCTS;
  ASSERT_EQ(tcsetattr(pty.SlaveFd(), TCSANOW, &pre), 0);
  CPorts port;
  port.m_strPortName = pty.SlavePath();
  port.m_nBaudRate = 115200;
  port.m_nDataBits = 8;
  port.m_nParity = 0;
  port.m_nStopBits = 0;
  port.m_nFlowControl = 1;
  port.m_nModel = kModelTorva10;
  port.m_nFunction = kFunctionFirmware;
  CLegacyPortLink portLink(port);
  CLegacyDownloader dl(portLink, *LegacyAreaOf(kLegacyAreaProgram));
  ASSERT_TRUE(dl.Begin(dir.File("fw.bin"), "fw.bin"));
  termios t{};
  ASSERT_EQ(tcgetattr(pty.SlaveFd(), &t), 0);
  EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(port.m_nFlowControl, 3);
  EXPECT_TRUE(port.IsWatchThreadRunning());
  EXPECT_EQ(pty.Receive(10), (Bytes{0x40, 0xF2, 0x20, 0x22, 0, 0, 0, 0, 0, 0}));
  // The printer's answer arrives through the watch thread and releases the first frame.
  pty.Send({0x10, 0x06});
  ASSERT_TRUE(portLink.AwaitAnswers(2000));
  EXPECT_EQ(dl.OnAnswers(portLink.TakeAnswers()), LegacyStep::Waiting);
  const Bytes first = pty.Receive(522);
  ASSERT_EQ(first.size(), 522u);
  EXPECT_EQ(Bytes(first.begin(), first.begin() + 8),
            (Bytes{0x40, 0xF0, 0x02, 0x00, 0x00, 0x1D, 0x00, 0x00}));
  dl.Cancel();
  EXPECT_FALSE(port.m_bConnected);
  EXPECT_FALSE(port.IsWatchThreadRunning());
}

}  // namespace
}  // namespace torva
