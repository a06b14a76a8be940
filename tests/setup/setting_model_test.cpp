// The setting model: replies applied to it, the rules between settings with their
// questions, the defaults as they reach the printer, the custom code and code page lookups.
#include <functional>

#include "app/messages.h"
#include "setup/setting_keys.h"
#include "setup_test_util.h"
#include "support/fake_services.h"

namespace torva::test {
namespace {

TEST(SettingModel, RepliesSetTheMembersAndStates) {
  struct Case {
    const char* name;
    std::function<void(CSettingModel&)> before;
    int a;
    const char* text;
    std::function<void(const CSettingModel&)> check;
  };
  const auto none = [](CSettingModel&) {};
  const std::vector<Case> cases = {
      {"margin 200", none, 250, "200", [](auto& m) { EXPECT_EQ(m.m_nLeftMargin, 512); }},
      {"margin 1255", none, 250, "1255", [](auto& m) { EXPECT_EQ(m.m_nLeftMargin, 511); }},
      {"margin 7", none, 250, "7", [](auto& m) { EXPECT_EQ(m.m_nLeftMargin, 7); }},
      {"margin not digits", [](auto& m) { m.m_nLeftMargin = 9; }, 250, "12a",
       [](auto& m) { EXPECT_EQ(m.m_nLeftMargin, 9); }},
      {"paper width 2", none, 3, "2",
       [](auto& m) {
         EXPECT_EQ(m.m_nPaperWidth, 1);
         EXPECT_EQ(m.m_nColumns, 0);
         EXPECT_TRUE(m.m_bColumnListEnabled);
       }},
      {"paper width 6 after 58mm", [](auto& m) { m.ClickPaperWidth(1); }, 3, "6",
       [](auto& m) {
         EXPECT_EQ(m.m_nPaperWidth, 0);
         EXPECT_EQ(m.m_nColumns, -1);
         EXPECT_FALSE(m.m_bColumnListEnabled);
       }},
      {"two-colour paper", none, 116, "257",
       [](auto& m) {
         EXPECT_EQ(m.m_nPaperType, 1);
         EXPECT_TRUE(m.m_bColorDensityEnabled);
       }},
      {"bell 23", none, 245, "23",
       [](auto& m) {
         EXPECT_EQ(kBellTypeTexts[static_cast<std::size_t>(m.m_nBellType)], "KELMO Melody 1");
         EXPECT_EQ(kBellTimesTexts[static_cast<std::size_t>(m.m_nBellTimes)], "3");
         EXPECT_STREQ(m.BellUnitCaption(), " / 5");
       }},
      {"bell 59", none, 245, "59",
       [](auto& m) {
         EXPECT_EQ(m.m_nBellType, 4);
         EXPECT_EQ(m.m_nBellTimes, -1);
         EXPECT_STREQ(m.BellUnitCaption(), "Times");
       }},
      {"water mark 15", none, 242, "15",
       [](auto& m) {
         EXPECT_EQ(m.m_nWaterMark, 1);
         EXPECT_EQ(m.m_nImageNo, 5);
         EXPECT_TRUE(m.m_bImageNoEnabled);
       }},
      {"cutting position 130", none, 243, "130",
       [](auto& m) {
         EXPECT_EQ(m.m_nCutAdjust, 1);
         EXPECT_EQ(m.m_nCutLines, 30);
       }},
      {"code page 16", none, 246, "16",
       [](auto& m) { EXPECT_EQ(m.ChangeCodePage(m.m_nCodePage, true), 16); }},
      {"code page not in the list", [](auto& m) { m.m_nCodePage = 3; }, 246, "200",
       [](auto& m) { EXPECT_EQ(m.m_nCodePage, -1); }},
      {"bold font 0 is ON", none, 248, "0", [](auto& m) { EXPECT_EQ(m.m_nBoldFont, 1); }},
      {"max speed 180", none, 249, "180", [](auto& m) { EXPECT_EQ(m.m_nMaxSpeed, 2); }},
      {"density 100", none, 118, "100", [](auto& m) { EXPECT_EQ(m.m_nColorDensity, 2); }},
      {"receive buffer 04", none, 252, "04", [](auto& m) { EXPECT_EQ(m.m_nReceiveBuffer, 3); }},
      {"stop bit 1", none, 253, "1", [](auto& m) { EXPECT_EQ(m.m_nStopBit, 1); }},
      {"custom code", none, 255, "6699", [](auto& m) { EXPECT_EQ(m.m_strCustomCode, "1A2B"); }},
      {"custom code of all bits", none, 255, "4294967295",
       [](auto& m) { EXPECT_EQ(m.m_strCustomCode, "FFFFFFFF"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CSettingModel m = MakeModel();
    c.before(m);
    ApplyReply(m, c.a, c.text);
    c.check(m);
  }
}

TEST(SettingModel, RepliesThatMatchNothingChangeNothing) {
  CSettingModel m = MakeModel();
  m.LoadDefaults();
  const auto before = SettingsOf(m);
  for (auto [a, text] : std::vector<std::pair<int, const char*>>{
           {200, "1"}, {3, "4"}, {116, "2"}, {242, "x"}, {252, "16"}, {253, "7"}, {0, "1"}}) {
    ApplyReply(m, a, text);
  }
  EXPECT_EQ(SettingsOf(m), before);
}

TEST(SettingModel, NvMemoryTotalsAbove448AreRefused) {
  struct Case {
    int graphic, user;
    bool userLast, accepted;
  };
  const std::vector<Case> cases = {
      {6, 1, true, false},   // 384 + 128
      {6, 1, false, false},  // the same, graphic chosen last
      {6, 0, true, true},    // 384 + 64
      {5, 1, true, true},    // 320 + 128 = 448
      {4, 3, true, false},   // 256 + 256
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.graphic << "/" << c.user << " user last " << c.userLast);
    ScopedFakeServices services;
    CSettingModel m = MakeModel();
    const bool ok = c.userLast ? (m.SelectNvGraphic(c.graphic), m.SelectNvUser(c.user))
                               : (m.SelectNvUser(c.user), m.SelectNvGraphic(c.graphic));
    EXPECT_EQ(ok, c.accepted);
    EXPECT_EQ(m.m_nNvUser, c.accepted || !c.userLast ? c.user : -1);
    EXPECT_EQ(m.m_nNvGraphic, c.accepted || c.userLast ? c.graphic : -1);
    ASSERT_EQ(services.ui.Messages().size(), c.accepted ? 0u : 1u);
    if (!c.accepted) {
      EXPECT_EQ(services.ui.Messages()[0].text, FormatMsg(theMsg[MsgId::NvMemoryOutOfRange], 448));
    }
  }
}

TEST(SettingModel, WaterMarkAndTwoColourExcludeEachOther) {
  const std::string oneColor =
      "Water mark print is impossible in Two-color print mode.\nSelect One-color mode?";
  const std::string noWaterMark =
      "Water mark print is impossible in Two-color print mode.\nDisable water mark function?";
  struct Case {
    const char* name;
    int paperType, waterMark;
    bool clickTwoColor;  // otherwise the water mark's Enable
    bool answer;
    std::string question;
    int paperTypeAfter, waterMarkAfter;
  };
  const std::vector<Case> cases = {
      {"2Color without water mark", 0, 0, true, false, "", 1, 0},
      {"2Color with water mark, Yes", 0, 1, true, true, noWaterMark, 1, 0},
      {"2Color with water mark, No", 0, 1, true, false, noWaterMark, 0, 1},
      {"water mark on black paper", 0, 0, false, false, "", 0, 1},
      {"water mark on 2Color, Yes", 1, 0, false, true, oneColor, 0, 1},
      {"water mark on 2Color, No", 1, 0, false, false, oneColor, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedFakeServices services;
    services.ui.m_answers.push_back(c.answer);
    CSettingModel m = MakeModel();
    m.ClickPaperType(c.paperType);
    m.ClickWaterMark(c.waterMark);
    m.m_nColorDensity = 2;
    if (c.clickTwoColor) {
      m.ClickPaperType(1);
    } else {
      m.ClickWaterMark(1);
    }
    const auto questions = services.ui.Questions();
    EXPECT_EQ(questions.empty() ? std::string() : questions[0], c.question);
    EXPECT_EQ(m.m_nPaperType, c.paperTypeAfter);
    EXPECT_EQ(m.m_nWaterMark, c.waterMarkAfter);
    EXPECT_EQ(m.m_bColorDensityEnabled, c.paperTypeAfter == 1);
    EXPECT_EQ(m.m_bImageNoEnabled, c.waterMarkAfter == 1);
    // A two-colour choice just made starts from MEDIUM.
    if (c.clickTwoColor && c.paperTypeAfter == 1) {
      EXPECT_EQ(m.m_nColorDensity, 1);
    }
  }
}

TEST(SettingModel, DefaultsReachThePrinterAsTheseEntries) {
  for (bool korean : {false, true}) {
    SCOPED_TRACE(korean ? "Korean" : "English");
    ScopedFakeServices services;
    CSettingModel m = MakeModel(kModelGeneric, korean);
    services.ui.m_answers.push_back(false);
    EXPECT_FALSE(m.AskAndLoadDefaults());
    EXPECT_EQ(CheckSetValue(m, false), SetCheck::NothingSet);
    services.ui.m_answers.push_back(true);
    EXPECT_TRUE(m.AskAndLoadDefaults());
    EXPECT_EQ(services.ui.Questions().back(), theMsg[MsgId::AskLoadDefaults]);
    const auto cmd = BuildSetCommand(m);
    ASSERT_TRUE(cmd);
    const std::vector<Entry> expected = {
        {0xD5, 0, 0},    {0xD4, 0, 0},
        {0xCC, 2, 0},    {0xCE, 1, 0},
        {0xCD, 2, 0},    {0xCF, 2, 0},
        {0xD0, 2, 0},    {0xD2, 1, 0},
        {0xD6, 0xFF, 0}, {0xC7, 0, 0x0A},
        {0x03, 6, 0},    {0x74, 1, 0},
        {0x76, 85, 0},   {0xF2, 0, 0},
        {0xF3, 0, 0},    {0xF4, 0, 0},
        {0xF5, 1, 3},    {0xF6, 0, 0},
        {0x01, 1, 0},    {0x02, 7, 0},
        {0xF7, 0, 1},    {0xF9, 220, 0},
        {0xF8, 1, 1},    {0xFB, std::uint8_t(korean ? 0 : 1), 1},
        {0xFD, 0, 1},    korean ? Entry{0xFC, '2', '0'} : Entry{0xFC, '0', '4'},
        {0xFA, 0, 0},    {0xFF, 0, 0, 0, 0, 0x04}};
    EXPECT_EQ(Entries(cmd->bytes), expected);
    // The defaults count as a stop-bit change.
    EXPECT_EQ(services.ui.MessageTexts(),
              std::vector<std::string>{theMsg[MsgId::StopBitChangeNotice]});
  }
}

TEST(SettingModel, CustomCodeTexts) {
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"0", 0},     {"1A2B", 0x1A2B}, {"FFFFFFFF", 0xFFFFFFFF}, {"00000001", 1},
      {"1a2b", -1}, {"", -1},         {"123456789", -1},        {"12 3", -1},
      {"G", -1},    {"-1", -1}};
  for (const auto& [text, expected] : cases) {
    std::uint32_t value = 99;
    const int result = ParseHexCode(text, value);
    EXPECT_EQ(result, expected < 0 ? -1 : 1) << text;
    EXPECT_EQ(value, expected < 0 ? 0u : static_cast<std::uint32_t>(expected)) << text;
  }
}

TEST(SettingModel, CodePageNumbersAndIndicesMapBothWays) {
  CSettingModel m(kModelGeneric, false, {"0| A", "12345|too long", "254| SPACE PAGE", "7|B", "7|C"},
                  {});
  EXPECT_EQ(m.ChangeCodePage(1, true), 1234);
  EXPECT_EQ(m.ChangeCodePage(2, true), 254);
  EXPECT_EQ(m.ChangeCodePage(5, true), -1);
  EXPECT_EQ(m.ChangeCodePage(7, false), 3);
  EXPECT_EQ(m.ChangeCodePage(8, false), -1);
  const CSettingModel builtIn = MakeModel();
  for (int i = 0; i < static_cast<int>(builtIn.CodePages().size()); ++i) {
    EXPECT_EQ(builtIn.ChangeCodePage(builtIn.ChangeCodePage(i, true), false), i);
  }
}

}  // namespace
}  // namespace torva::test
