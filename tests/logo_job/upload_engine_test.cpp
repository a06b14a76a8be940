// The upload job and engine against a recording link: order, headers, pieces and waits on
// the fake clock, the LOGO section rewrite, cancel, and every failure path.
#include "logo/upload_engine.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/messages.h"
#include "app/models.h"
#include "job_fixture.h"
#include "logo/nv_commands.h"
#include "logo/upload_job.h"

namespace torva::test {
namespace {

const Bytes kCheck{0x1D, 0x49, 0x01};
const Bytes kInit{0x1B, 0x40};

class UploadTest : public LogoJobFixture {
 protected:
  UploadResult RunJob(CPrinterLink& link, int model = kModelTorva20II) {
    services.ui.m_answers.push_back(true);
    CUploadJob job(link, list, entries, options, model, keyCount);
    return job.Run();
  }
  bool HasMessage(int index) const {
    for (const auto& t : services.ui.MessageTexts()) {
      if (t == theMsg[index]) return true;
    }
    return false;
  }
};

TEST_F(UploadTest, ImagesGoInAscendingNumberOrderAndTheSectionFollowsIt) {
  // Widths 24, 8, 16 dots tell the images apart by their headers.
  ASSERT_TRUE(list.AddBitmap(Bmp("seven.bmp", 24, 8), 7));
  ASSERT_TRUE(list.AddBitmap(Bmp("two.bmp", 8, 8), 2));
  ASSERT_TRUE(list.AddBitmap(Bmp("five.bmp", 16, 8), 5));
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);

  const auto& w = link.m_writes;
  ASSERT_EQ(w.size(), 9u);  // check, init, start, then header and one piece per image
  EXPECT_EQ(w[0], kCheck);
  EXPECT_EQ(w[1], kInit);
  EXPECT_EQ(w[2], (Bytes{0x1C, 0x71, 0x03}));
  EXPECT_EQ(w[3], (Bytes{0x01, 0x00, 0x01, 0x00}));
  EXPECT_EQ(w[4].size(), 8u);
  EXPECT_EQ(w[5], (Bytes{0x02, 0x00, 0x01, 0x00}));
  EXPECT_EQ(w[7], (Bytes{0x03, 0x00, 0x01, 0x00}));
  EXPECT_EQ(w[8].size(), 24u);
  EXPECT_EQ(Ini(), "[LOGO]\r\nLogofile1=" + dir.File("two.bmp") + "\r\nLogofile2=" +
                       dir.File("five.bmp") + "\r\nLogofile3=" + dir.File("seven.bmp") + "\r\n");
  EXPECT_EQ(keyCount, 3);
  EXPECT_TRUE(HasMessage(21));
  EXPECT_EQ(link.m_nCloses, 1);
}

TEST_F(UploadTest, KeysBeyondTheNewCountAreRemoved) {
  WriteFileBytes(dir.File("torvaset.INI"),
                 "[LOGO]\r\nLogofile1=a\r\nLogofile2=b\r\nLogofile3=c\r\nLogofile4=d\r\n"
                 "Logofile5=e\r\n[USER]\r\nKeep=1\r\n");
  keyCount = 5;
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(list.AddBitmap(Bmp(std::to_string(i) + ".bmp", 8, 8), i));
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  const std::string ini = Ini();
  EXPECT_NE(ini.find("Logofile3=" + dir.File("3.bmp")), std::string::npos) << ini;
  EXPECT_EQ(ini.find("Logofile4"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("Logofile5"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Keep=1"), std::string::npos);
  EXPECT_EQ(keyCount, 3);
}

TEST_F(UploadTest, CancelAfterTheFirstOfFourSendsFourEmptyHeaders) {
  for (int i = 1; i <= 4; ++i) ASSERT_TRUE(list.AddBitmap(Bmp(std::to_string(i) + ".bmp", 8, 8), i));
  SetPort("COM1");
  CRecordingLink link(port);
  services.ui.m_answers.push_back(true);
  CUploadJob job(link, list, entries, options, 3, keyCount);
  ASSERT_TRUE(job.Begin());
  CUploadEngine& engine = job.Engine();
  ASSERT_TRUE(engine.Begin());
  engine.WaitForErase();
  EXPECT_EQ(engine.Tick(), UploadStep::Sent);
  engine.Cancel();
  EXPECT_EQ(job.End(false), UploadResult::Cancelled);
  EXPECT_EQ(link.m_writes.back(), Bytes(16, 0x00));
  EXPECT_FALSE(HasMessage(21));
  EXPECT_EQ(Ini(), "");  // nothing saved after a cancel
  EXPECT_EQ(services.clock.Waits().back(), 10);  // no wait after a button cancel
}

TEST_F(UploadTest, CancelBySystemWaitsForTheImageInProgress) {
  for (int i = 1; i <= 2; ++i) ASSERT_TRUE(list.AddBitmap(Bmp(std::to_string(i) + ".bmp", 16, 8), i));
  SetPort("COM1");
  CRecordingLink link(port);
  services.ui.m_answers.push_back(true);
  CUploadJob job(link, list, entries, options, 3, keyCount);
  ASSERT_TRUE(job.Begin());
  ASSERT_TRUE(job.Engine().Begin());
  job.Engine().WaitForErase();
  job.Engine().Tick();
  services.clock.ClearWaits();
  job.Engine().CancelBySystem();
  EXPECT_EQ(job.Engine().WaitTimeMs(), 16);
  EXPECT_EQ(job.End(true), UploadResult::Cancelled);
  EXPECT_EQ(services.clock.Waits(), (std::vector<int>{32, 16}));
  EXPECT_EQ(link.m_writes.back(), Bytes(8, 0x00));  // 2 - 1 + 1 groups
  EXPECT_FALSE(HasMessage(21));
}

TEST_F(UploadTest, PiecesOf512WithTenMillisecondPauses) {
  // 8 x 1304 dots: 1304 data bytes (a mono length is always a multiple of 8).
  ASSERT_TRUE(list.AddBitmap(Bmp("tall.bmp", 8, 1304), 1));
  ASSERT_TRUE(list.AddBitmap(Bmp("even.bmp", 64, 128), 2));  // 1024 bytes: no empty write
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  std::vector<size_t> sizes;
  for (const auto& w : link.m_writes) sizes.push_back(w.size());
  EXPECT_EQ(sizes, (std::vector<size_t>{3, 2, 3, 4, 512, 512, 280, 4, 512, 512}));
  // Erase pause; per image a timer period and one pause per piece (the empty last piece of
  // the second image included); the completion tick.
  EXPECT_EQ(services.clock.Waits(),
            (std::vector<int>{3500, 10, 10, 10, 10, 10, 10, 10, 10, 10}));
  EXPECT_EQ(CNvCommands::DataPieces(1300), (std::vector<int>{512, 512, 276}));
}

TEST_F(UploadTest, EthernetErasePauseIsFiveSeconds) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  SetPort("ETHERNET_II");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  EXPECT_EQ(services.clock.Waits().front(), 5000);
  EXPECT_EQ(link.m_writes.front(), (Bytes{0x1C, 0x71, 0x01}));  // no check on a network
}

TEST_F(UploadTest, StarEmulationPrefixesTheDefineStart) {
  options.bStarEmulation = true;
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(list.AddBitmap(Bmp(std::to_string(i) + ".bmp", 8, 8), i));
  SetPort("ETHERNET_II");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  EXPECT_EQ(link.m_writes.front(), (Bytes{0x1B, 0x1C, 0x71, 0x03}));
}

TEST_F(UploadTest, GreyImagesCarryTheFlagAndFourBitsPerDot) {
  options.bGrayPrint = true;
  ASSERT_TRUE(list.AddBitmap(Bmp("g.bmp", 16, 8), 1));
  SetPort("ETHERNET_II");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  EXPECT_EQ(link.m_writes[1], (Bytes{0x02, 0xA0, 0x01, 0x00}));
  EXPECT_EQ(link.m_writes[2].size(), 64u);
}

// Where the write fails, what the user and the log see; the settings file stays as it was.
struct FailCase {
  const char* name;
  int failAt;  // index among the writes after check and initialise
  const char* logLine;
};

class UploadFailureTest : public UploadTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(UploadFailureTest, StopsWithMessage42AndKeepsTheSection) {
  const std::string before = "[LOGO]\r\nLogofile1=old.bmp\r\n";
  WriteFileBytes(dir.File("torvaset.INI"), before);
  keyCount = 1;
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 1304), 1));
  ASSERT_TRUE(list.AddBitmap(Bmp("b.bmp", 8, 8), 2));
  SetPort("COM1");
  CRecordingLink link(port);
  link.m_nFailAt = 2 + GetParam().failAt;
  EXPECT_EQ(RunJob(link), UploadResult::Failed);
  EXPECT_TRUE(HasMessage(42));
  EXPECT_FALSE(HasMessage(21));
  EXPECT_TRUE(log.Contains(GetParam().logLine)) << log.Text();
  EXPECT_EQ(Ini(), before);
  EXPECT_EQ(keyCount, 1);
  // Nothing follows the failed write: no further image, no empty headers.
  EXPECT_EQ(link.m_writes.size(), static_cast<size_t>(link.m_nFailAt));
  EXPECT_EQ(link.m_nCloses, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, UploadFailureTest,
    ::testing::Values(FailCase{"DefineStart", 0, "CProgress OnInitDialog[5]"},
                      FailCase{"Header", 1, "CPrograss WriteInstruction [01-00-A3-00]"},
                      FailCase{"FirstPiece", 2, "CPrograss writeData[5]"},
                      FailCase{"LastPiece", 4, "CPrograss WriteData image 1, 280 bytes at offset 1024"},
                      FailCase{"SecondHeader", 5, "CPrograss writeInstruction[5]"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(UploadTest, AFileThatVanishedStopsTheUpload) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  std::remove(dir.File("a.bmp").c_str());
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Refused);
  EXPECT_FALSE(HasMessage(3));
  EXPECT_TRUE(link.m_writes.empty());  // found before the define start erased anything
  EXPECT_EQ(Ini(), "");
}

// Entries that the list took but that cannot be sent as the options now stand: each is
// refused, with its file and reason, before the port opens.
TEST_F(UploadTest, AnEntryThatCannotBeSentIsRefusedBeforeAnyByte) {
  const struct {
    const char* name;
    int width, height;
    bool grey, centre;
    const char* reason;
  } cases[] = {
      // 512 x 600: 38,400 bytes in mono, 153,600 once grey printing is switched on.
      {"grey.bmp", 512, 600, true, false, "grey raster of 153600 bytes"},
      // 8 x 8000: 8,000 bytes, but 264 columns of 1,000 bytes once centred.
      {"tall.bmp", 8, 8000, false, true, "centred raster of 264000 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    list.ResetList();
    options.bGrayPrint = false;
    options.abAutoCenter.fill(false);
    services.ui.Clear();
    ASSERT_TRUE(list.AddBitmap(Bmp("small.bmp", 16, 8), 0));
    ASSERT_TRUE(list.AddBitmap(Bmp(c.name, c.width, c.height), 0));
    options.bGrayPrint = c.grey;
    options.abAutoCenter[1] = c.centre;
    SetPort("COM1");
    CRecordingLink link(port);
    EXPECT_EQ(RunJob(link), UploadResult::Refused);
    EXPECT_TRUE(link.m_writes.empty());
    EXPECT_EQ(link.m_nOpens, 0);
    ASSERT_EQ(services.ui.MessageTexts().size(), 1u);
    const std::string text = services.ui.MessageTexts()[0];
    EXPECT_NE(text.find(dir.File(c.name)), std::string::npos) << text;
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    EXPECT_TRUE(services.ui.Questions().empty());  // not even asked
  }
}

// The printer holds the images even when the settings file cannot take the new list: the
// completion stays, and a warning in the language of the messages follows it.
class UploadSectionNotSavedTest : public UploadTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override { theMsg.SelectLanguage(GetParam()); }
  void TearDown() override { theMsg.SelectLanguage(kLangEnglish); }
};

TEST_P(UploadSectionNotSavedTest, IsToldAfterTheCompletion) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  // A directory where the settings file should be: the rename over it fails.
  std::filesystem::create_directory(dir.File("torvaset.INI"));
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::ListNotSaved);
  EXPECT_FALSE(UploadSucceeded(UploadResult::ListNotSaved));

  const std::vector<RecordedMessage> messages = services.ui.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, theMsg[MsgId::NvDefinitionComplete]);
  EXPECT_EQ(messages[1].text, CUploadEngine::LogoSectionNotSavedText());
  EXPECT_EQ(messages[1].icon, MsgIcon::Warning);
  EXPECT_EQ(CUploadEngine::LogoSectionNotSavedText(),
            GetParam() == kLangKorean ? "로고 목록을 설정 파일에 저장하지 못했습니다."
                                      : "The logo list could not be saved to the settings file.");
  EXPECT_TRUE(log.Contains("LOGO section of")) << log.Text();
  EXPECT_EQ(link.m_writes.size(), 5u);  // the whole upload went out
}

INSTANTIATE_TEST_SUITE_P(Languages, UploadSectionNotSavedTest,
                         ::testing::Values(kLangEnglish, kLangKorean));

TEST_F(UploadTest, ASavedSectionIsNoWarning) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::NvDefinitionComplete]});
}

// The connection each port kind gets before the define command.
struct OpenCase {
  const char* port;
  std::vector<Bytes> before;  // writes before the define start
  std::vector<bool> reopens;  // OpenPort calls
};

class UploadOpenTest : public UploadTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(UploadOpenTest, SendsTheChecksOfItsKind) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  SetPort(GetParam().port);
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  const std::vector<Bytes> before(link.m_writes.begin(),
                                  link.m_writes.begin() + static_cast<std::ptrdiff_t>(GetParam().before.size()));
  EXPECT_EQ(before, GetParam().before);
  EXPECT_EQ(link.m_writes[GetParam().before.size()], (Bytes{0x1C, 0x71, 0x01}));
  EXPECT_EQ(link.m_reopens, GetParam().reopens);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UploadOpenTest,
                         ::testing::Values(OpenCase{"COM1", {kCheck, kInit}, {false}},
                                           OpenCase{"/dev/ttyUSB0", {kCheck, kInit}, {false}},
                                           OpenCase{"LPT1", {kCheck}, {true}},
                                           OpenCase{"USB", {kCheck, kInit}, {false}},
                                           OpenCase{"FILE", {}, {false}},
                                           OpenCase{"ETHERNET_II", {}, {}}));

TEST_F(UploadTest, APortThatDoesNotOpenShowsItsMessage) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  SetPort("COM1");
  CRecordingLink link(port);
  link.m_bOpenOk = false;
  EXPECT_EQ(RunJob(link), UploadResult::NotConnected);
  EXPECT_EQ(services.ui.MessageTexts().back(), FormatMsg(theMsg[MsgId::OpenPortOrFileError], 5));
  SetPort("LPT1");
  CRecordingLink lpt(port);
  lpt.m_bOpenOk = false;
  EXPECT_EQ(RunJob(lpt), UploadResult::NotConnected);
  EXPECT_EQ(services.ui.MessageTexts().back(), theMsg[MsgId::PortOpenError]);
  EXPECT_TRUE(lpt.m_writes.empty());
}

TEST_F(UploadTest, AnEmptyListErasesAfterItsQuestion) {
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Erased);
  EXPECT_EQ(services.ui.Questions().back(), theMsg[MsgId::EraseAllQuestion]);
  EXPECT_EQ(link.m_writes, (std::vector<Bytes>{kCheck, kInit, {0x1C, 0x71, 0x01, 0, 0, 0, 0}}));
  EXPECT_EQ(link.m_reopens, std::vector<bool>{true});
  EXPECT_EQ(Ini(), "");

  CRecordingLink declined(port);
  CUploadJob job(declined, list, entries, options, 3, keyCount);
  EXPECT_FALSE(job.Begin());
  EXPECT_EQ(job.Result(), UploadResult::NotConfirmed);
  EXPECT_EQ(declined.m_nOpens, 0);
}

TEST_F(UploadTest, Torva30NoticeStopsALargeUpload) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  list.m_nTotalBytes = 129 * 1024;
  SetPort("COM1");
  CRecordingLink link(port);
  EXPECT_EQ(RunJob(link, kModelTorva30), UploadResult::Refused);
  ASSERT_FALSE(services.ui.Messages().empty());
  EXPECT_EQ(services.ui.Messages().back().caption, "Notice");
  EXPECT_EQ(link.m_nOpens, 0);
  EXPECT_EQ(RunJob(link, kModelTorva20II),
            UploadResult::Completed);  // other models are not limited
}

TEST_F(UploadTest, FileUploadStartsWithTheDefineCommand) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 8, 8), 1));
  SetPort("FILE");
  services.ui.m_printNames.push_back(dir.File("out.prn"));
  CPrinterLink link(port);
  EXPECT_EQ(RunJob(link), UploadResult::Completed);
  const std::string bytes = ReadFileBytes(dir.File("out.prn"));
  EXPECT_EQ(bytes.substr(0, 7), std::string("\x1C\x71\x01\x01\x00\x01\x00", 7));
  EXPECT_EQ(bytes.size(), 15u);
  EXPECT_EQ(bytes.find("\x1D\x49\x01"), std::string::npos);
  EXPECT_EQ(bytes.find("\x1B\x40"), std::string::npos);
}

}  // namespace
}  // namespace torva::test
