// The download engine against a recording sink and the fake clock: chunks and waits of
// each path, every failure with its message and buttons, the order of the checks, stop.
#include "firmware/fw_download.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/messages.h"
#include "fw_test_images.h"
#include "recording_sink.h"
#include "support/fake_services.h"

namespace torva {
namespace {

using test::CRecordingSink;

class FirmwareDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_image = test::MakeFirmwareImage(99, 2);
    test::WriteFirmwareImage(m_path, m_image);
  }
  FwRequest Request(FirmwareArea area, int model = 6) {
    return {m_path, area, model, IsServiceArea(area)};
  }
  test::ScopedFakeServices m_services;
  test::ScopedTempDir m_dir;
  std::string m_path = m_dir.File("image.PXR");
  std::vector<uint8_t> m_image;
};

TEST_F(FirmwareDownloadTest, EachPathSendsTheWholeBlockInItsChunksAndWaitsItsSteps) {
  struct Case {
    SinkKind kind;
    FirmwareArea area;
    int chunk;
    int steps;
  };
  const Case cases[] = {
      {SinkKind::Serial, FirmwareArea::Program, 2048, 16},
      {SinkKind::Port, FirmwareArea::Boot, 2048, 16},
      {SinkKind::Network, FirmwareArea::Program, 4096, 256},
      {SinkKind::Network, FirmwareArea::Boot, 4096, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(AreaName(c.area)) + " " + std::to_string(c.chunk));
    m_services.clock.ClearWaits();
    m_services.ui.Clear();
    m_services.ui.m_answers = {true};
    CRecordingSink sink(c.kind);
    CFirmwareDownload download(sink);
    uint32_t highest = 0;
    bool overRange = false;
    download.m_fnProgress = [&] {
      highest = std::max(highest, download.Position());
      overRange = overRange || download.Position() > download.Range();
    };
    ASSERT_TRUE(download.Prepare(Request(c.area)));
    const auto expected = test::ReferenceBlock(m_image, AreaName(c.area), 6);
    EXPECT_EQ(download.Range(), expected.size() + 20480);
    EXPECT_EQ(download.Percent(download.Position(), download.Range()), 0u);
    EXPECT_EQ(download.Transfer(), FwOutcome::Completed);
    download.ShowOutcome();

    EXPECT_EQ(sink.m_bytes, expected);
    for (int w : sink.m_writes) EXPECT_EQ(w, c.chunk);
    EXPECT_EQ(sink.m_nReopens, c.kind == SinkKind::Network ? 0 : 1);
    EXPECT_EQ(sink.m_nConnects, c.kind == SinkKind::Network ? 1 : 0);
    EXPECT_EQ(sink.m_nFinishes, 1);
    const int stepMs = static_cast<int>(expected.size() * 2 / 20480);
    EXPECT_EQ(m_services.clock.Waits(), std::vector<int>(static_cast<size_t>(c.steps), stepMs));
    EXPECT_FALSE(overRange);
    EXPECT_EQ(highest, download.Range() - (c.kind == SinkKind::Network ? 0 : 1279));
    EXPECT_EQ(download.FileSizeText(), std::to_string(expected.size()));
    EXPECT_EQ(m_services.ui.MessageTexts(),
              std::vector<std::string>{"Update Complete.\nPlease wait beep the buzzer."});
    const FwButtons after = ButtonsAfter(download.Outcome());
    EXPECT_TRUE(after.bDownload && after.bFileOpen);
  }
}

TEST_F(FirmwareDownloadTest, FailuresEndWithTheirMessageButtonsAndBoundedRetries) {
  const auto timeout = [](int, int length) {
    CPorts::ChunkWrite r;
    r.nWritten = length / 2;
    r.bTimedOut = true;
    return r;
  };
  const auto error = [](int, int) {
    CPorts::ChunkWrite r;
    r.nError = 5;
    return r;
  };
  // Fails once at the third chunk, then takes the rest.
  const auto errorOnce = [](int index, int length) {
    CPorts::ChunkWrite r;
    r.nWritten = index == 2 ? 100 : length;
    r.nError = index == 2 ? 5 : 0;
    return r;
  };
  struct Case {
    const char* name;
    SinkKind kind;
    std::function<CPorts::ChunkWrite(int, int)> fault;
    bool connectOk;
    bool open;
    FwOutcome outcome;
    const char* message;
    size_t writes;
    bool download, fileOpen;
  };
  const Case cases[] = {
      {"serial time-out", SinkKind::Serial, timeout, true, true, FwOutcome::PrinterNotReady,
       "ERROR : PRINTER IS NOT READY!", 1, true, false},
      {"serial error", SinkKind::Serial, error, true, true, FwOutcome::PrinterNotReady,
       "ERROR : PRINTER IS NOT READY!", 3, true, false},
      {"serial error once", SinkKind::Serial, errorOnce, true, true, FwOutcome::Completed,
       "Update Complete.\nPlease wait beep the buzzer.", 417, true, true},
      {"port short", SinkKind::Port, timeout, true, true, FwOutcome::WriteError,
       "LPT Write Error[0]", 1, false, false},
      {"port error", SinkKind::Port, error, true, true, FwOutcome::WriteError, "LPT Write Error[5]",
       1, false, false},
      {"port not open", SinkKind::Port, nullptr, true, false, FwOutcome::PortNotOpened,
       "Port is not opened!", 0, false, false},
      {"network stalls", SinkKind::Network, timeout, true, true, FwOutcome::SendFailed,
       "ERROR : Printer check.", 3, true, true},
      {"network probes", SinkKind::Network, nullptr, false, true, FwOutcome::PrinterCheck,
       "ERROR : Printer check.", 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_services.ui.Clear();
    m_services.clock.ClearWaits();
    CRecordingSink sink(c.kind);
    sink.m_fnFault = c.fault;
    sink.m_bConnectOk = c.connectOk;
    sink.m_bOpen = c.open;
    CFirmwareDownload download(sink);
    ASSERT_TRUE(download.Prepare(Request(FirmwareArea::Program)));
    EXPECT_EQ(download.Transfer(), c.outcome);
    download.ShowOutcome();
    EXPECT_EQ(sink.m_writes.size(), c.writes);
    EXPECT_EQ(m_services.ui.MessageTexts(), std::vector<std::string>{c.message});
    if (c.outcome != FwOutcome::Completed) {
      EXPECT_GE(sink.m_nCloses, 1);
      EXPECT_EQ(sink.m_nFinishes, 0);
      // Only the retries waited, each the same short pause.
      for (int w : m_services.clock.Waits()) EXPECT_EQ(w, CFirmwareDownload::kRetryPauseMs);
    }
    // The counter holds what the device really took.
    EXPECT_EQ(download.BytesWritten(), sink.m_bytes.size());
    const FwButtons after = ButtonsAfter(c.outcome);
    EXPECT_EQ(after.bDownload, c.download);
    EXPECT_EQ(after.bFileOpen, c.fileOpen);
  }
}

TEST_F(FirmwareDownloadTest, ChecksQuestionAndPortComeInTheirOrder) {
  // No marker: the question and the port come first, then "Wrong File!".
  test::WriteFirmwareImage(m_path, test::MakeFirmwareImage(3, 2, false));
  CRecordingSink sink(SinkKind::Serial);
  CFirmwareDownload download(sink);
  m_services.ui.m_answers = {true};
  EXPECT_FALSE(download.Prepare(Request(FirmwareArea::ExtFont)));
  EXPECT_EQ(download.Outcome(), FwOutcome::WrongFile);
  EXPECT_EQ(m_services.ui.Questions(),
            std::vector<std::string>{"Are you sure the Ext.Font area download?"});
  EXPECT_EQ(sink.m_nReopens, 1);
  EXPECT_EQ(m_services.ui.MessageTexts(), std::vector<std::string>{"Wrong File!"});
  EXPECT_EQ(m_services.ui.Messages()[0].caption, "Error");

  struct Case {
    FirmwareArea area;
    bool answer;
    bool reopenOk;
    FwOutcome outcome;
    const char* question;
    int reopens;
  };
  test::WriteFirmwareImage(m_path, m_image);
  const Case cases[] = {
      {FirmwareArea::LcdFont, false, true, FwOutcome::NotConfirmed,
       "Are you sure the LCD Font area download?", 0},
      {FirmwareArea::Downloader, false, true, FwOutcome::NotConfirmed,
       "Are you sure the Downloader area download?", 0},
      {FirmwareArea::Boot, false, true, FwOutcome::NotConfirmed,
       "Are you sure the Boot area download?", 0},
      {FirmwareArea::Program, true, false, FwOutcome::InitFail, nullptr, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(AreaName(c.area));
    m_services.ui.Clear();
    m_services.ui.m_answers = {c.answer};
    CRecordingSink s(SinkKind::Port);
    s.m_bReopenOk = c.reopenOk;
    CFirmwareDownload d(s);
    EXPECT_FALSE(d.Prepare(Request(c.area)));
    EXPECT_EQ(d.Outcome(), c.outcome);
    EXPECT_EQ(s.m_nReopens, c.reopens);
    EXPECT_EQ(m_services.ui.Questions().size(), c.question != nullptr ? 1u : 0u);
    if (c.question != nullptr) {
      EXPECT_EQ(m_services.ui.Questions()[0], c.question);
    }
    EXPECT_EQ(ButtonsAfter(c.outcome).bDownload, c.outcome == FwOutcome::InitFail);
  }
  // Service areas need service mode; the Boot area a boot version 1..10.
  CRecordingSink s(SinkKind::Port);
  CFirmwareDownload d(s);
  EXPECT_FALSE(d.Prepare({m_path, FirmwareArea::Downloader, 6, false}));
  EXPECT_EQ(d.Outcome(), FwOutcome::Refused);
  test::WriteFirmwareImage(m_path, test::MakeFirmwareImage(3, 11));
  m_services.ui.m_answers = {true};
  EXPECT_FALSE(d.Prepare({m_path, FirmwareArea::Boot, 6, true}));
  EXPECT_EQ(d.Outcome(), FwOutcome::Refused);
  EXPECT_TRUE(s.m_writes.empty());
}

TEST_F(FirmwareDownloadTest, StopEndsTheWorkerBetweenChunksAndTheDestructorJoinsIt) {
  CRecordingSink sink(SinkKind::Serial);
  {
    CFirmwareDownload download(sink);
    ASSERT_TRUE(download.Prepare(Request(FirmwareArea::Program)));
    std::atomic<bool> finished{false};
    sink.m_fnAfterWrite = [&] {
      if (sink.m_writes.size() == 3) download.RequestStop();
    };
    download.Start([&] { finished = true; });
    download.Join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(download.Outcome(), FwOutcome::Stopped);
    EXPECT_EQ(sink.m_writes.size(), 3u);
    EXPECT_GE(sink.m_nCloses, 1);
  }
  // Gone while the worker still writes: the destructor stops and waits for it.
  CRecordingSink slow(SinkKind::Serial);
  slow.m_fnAfterWrite = [] { std::this_thread::sleep_for(std::chrono::microseconds(200)); };
  {
    CFirmwareDownload download(slow);
    ASSERT_TRUE(download.Prepare(Request(FirmwareArea::Program)));
    download.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_LT(slow.m_writes.size(), 416u);
  EXPECT_GE(slow.m_nCloses, 1);
}

TEST(FirmwareProgress, PercentOfTheRangeIsClampedAndChunkBoundsScaleWithBaud) {
  EXPECT_EQ(CFirmwareDownload::Percent(0, 872448), 0u);
  EXPECT_EQ(CFirmwareDownload::Percent(436224, 872448), 50u);
  EXPECT_EQ(CFirmwareDownload::Percent(872448 + 4096, 872448), 100u);
  EXPECT_EQ(CFirmwareDownload::Percent(5, 0), 0u);
  // 2048 bytes at 11 bits: 195 ms at 115200, 2346 ms at 9600; four times over plus 2 s.
  EXPECT_EQ(CFirmwareDownload::ChunkLimitMs(2048, 115200), 195 * 4 + 2000);
  EXPECT_EQ(CFirmwareDownload::ChunkLimitMs(2048, 9600), 2346 * 4 + 2000);
}

}  // namespace
}  // namespace torva
