// The write command against hand-worked bytes: what is sent for a few settings alone, and
// every setting at once entry by entry.
#include <functional>
#include <optional>

#include "app/messages.h"
#include "setup_test_util.h"
#include "support/fake_services.h"

namespace torva::test {
namespace {

struct WriteCase {
  const char* name;
  std::function<void(CSettingModel&)> set;
  std::optional<SetupBytes> bytes;  // nullopt: nothing is built
  const char* customCodeAfter;
};

TEST(SetupCommands, SmallWritesGiveTheseBytes) {
  const std::vector<WriteCase> cases = {
      {"nothing set", [](CSettingModel&) {}, std::nullopt, "0"},
      {"the colour density does not count", [](CSettingModel& m) { m.m_nColorDensity = 2; },
       std::nullopt, "0"},
      {"margin 300 alone", [](CSettingModel& m) { m.m_nLeftMargin = 300; },
       SetupBytes{0x1D, 0x28, 0x45, 0x0D, 0x00, 0x05, 0x76, 0x55, 0x00, 0xFA, 0x2C, 0x01, 0xFF,
                  0x00, 0x00, 0x00, 0x00, 0x04},
       "0"},
      {"custom code 1A2B", [](CSettingModel& m) { m.m_strCustomCode = "1A2B"; },
       SetupBytes{0x1D, 0x28, 0x45, 0x0D, 0x00, 0x05, 0x76, 0x55, 0x00, 0xFA, 0x00, 0x00, 0xFF,
                  0x2B, 0x1A, 0x00, 0x00, 0x04},
       "1A2B"},
      {"custom code in lower case", [](CSettingModel& m) { m.m_strCustomCode = "1a2b"; },
       SetupBytes{0x1D, 0x28, 0x45, 0x0D, 0x00, 0x05, 0x76, 0x55, 0x00, 0xFA, 0x00, 0x00, 0xFF,
                  0x00, 0x00, 0x00, 0x00, 0x04},
       "0"},
      {"custom code of nine digits", [](CSettingModel& m) { m.m_strCustomCode = "123456789"; },
       SetupBytes{0x1D, 0x28, 0x45, 0x0D, 0x00, 0x05, 0x76, 0x55, 0x00, 0xFA, 0x00, 0x00, 0xFF,
                  0x00, 0x00, 0x00, 0x00, 0x04},
       "0"},
      {"custom code of all bits, DARK density",
       [](CSettingModel& m) {
         m.m_strCustomCode = "FFFFFFFF";
         m.m_nColorDensity = 2;
       },
       SetupBytes{0x1D, 0x28, 0x45, 0x0D, 0x00, 0x05, 0x76, 0x64, 0x00, 0xFA, 0x00, 0x00, 0xFF,
                  0xFF, 0xFF, 0xFF, 0xFF, 0x04},
       "FFFFFFFF"},
      {"a bell type without times counts as 3 times", [](CSettingModel& m) { m.SelectBellType(4); },
       SetupBytes{0x1D, 0x28, 0x45, 0x10, 0x00, 0x05, 0x76, 0x55, 0x00, 0xF5, 0x00,
                  0x03, 0xFA, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x04},
       "0"},
      {"58mm after a click is 32 columns", [](CSettingModel& m) { m.ClickPaperWidth(1); },
       SetupBytes{0x1D, 0x28, 0x45, 0x10, 0x00, 0x05, 0x03, 0x03, 0x00, 0x76, 0x55,
                  0x00, 0xFA, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x04},
       "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedFakeServices services;
    CSettingModel m = MakeModel();
    c.set(m);
    const auto cmd = BuildSetCommand(m);
    EXPECT_EQ(cmd.has_value(), c.bytes.has_value());
    if (cmd && c.bytes) {
      EXPECT_EQ(cmd->bytes, *c.bytes);
    }
    EXPECT_EQ(m.m_strCustomCode, c.customCodeAfter);
    EXPECT_TRUE(services.ui.Messages().empty());
  }
}

TEST(SetupCommands, EverySettingIsWrittenInTheFixedOrder) {
  ScopedFakeServices services;
  CSettingModel m = MakeModel();
  m.m_nPaperSave = 2;
  m.m_nSleep = 3;
  m.m_nEmulation = 1;
  m.m_nAutoCut = 1;
  m.m_nKitchenBell = 1;
  m.m_nSelfTestMode = 1;
  m.m_nPrintDensity = 3;
  m.m_nUsbMode = 1;
  m.m_nLcdPassword = 0;
  m.m_nWifiKeep = 0;
  m.ClickPaperWidth(1);
  m.m_nColumns = 0;
  m.ClickPaperType(1);
  m.m_nColorDensity = 2;
  m.m_nWaterMark = 1;
  m.m_nImageNo = 7;
  m.ClickCutAdjust(1);
  m.m_nCutLines = 12;
  m.m_nDrawerWithCut = 1;
  m.SelectBellType(2);
  m.m_nBellTimes = 4;
  m.m_nCodePage = m.ChangeCodePage(16, false);
  ASSERT_TRUE(m.SelectNvUser(1));
  ASSERT_TRUE(m.SelectNvGraphic(4));
  m.m_nCutMode = 1;
  m.m_nMaxSpeed = 3;
  m.m_nBoldFont = 1;
  m.m_nDrawerSelfTest = 1;
  m.ClickStopBit(1);
  m.m_nReceiveBuffer = 2;
  m.m_nLeftMargin = 511;
  m.m_strCustomCode = "DEADBEEF";

  const auto cmd = BuildSetCommand(m);
  ASSERT_TRUE(cmd);
  const std::vector<Entry> expected = {
      {0xD5, 2, 0},   {0xD4, 3, 0},     {0xCC, 1, 0},    {0xCE, 2, 0},
      {0xCD, 1, 0},   {0xCF, 1, 0},     {0xD0, 4, 0},    {0xD2, 2, 0},
      {0xD6, 0, 0},   {0xC7, 1, 0x0A},  {0x03, 2, 0},    {0x74, 1, 1},
      {0x76, 100, 0}, {0xF2, 0, 7},     {0xF3, 1, 12},   {0xF4, 0, 1},
      {0xF5, 3, 5},   {0xF6, 16, 0},    {0x01, 2, 0},    {0x02, 5, 0},
      {0xF7, 1, 1},   {0xF9, 150, 0},   {0xF8, 0, 1},    {0xFB, 1, 1},
      {0xFD, 1, 1},   {0xFC, '2', '0'}, {0xFA, 0xFF, 1}, {0xFF, 0xEF, 0xBE, 0xAD, 0xDE, 0x04}};
  const auto entries = Entries(cmd->bytes);
  ASSERT_EQ(entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(entries[i], expected[i]) << i;
  EXPECT_EQ(cmd->bytes[3], 1 + 27 * 3 + 6);
  EXPECT_TRUE(cmd->bCarriesUsbMode);

  // The stop-bit notice comes once per change.
  ASSERT_EQ(services.ui.Messages().size(), 1u);
  EXPECT_EQ(services.ui.Messages()[0].text, theMsg[MsgId::StopBitChangeNotice]);
  EXPECT_EQ(services.ui.Messages()[0].caption, "Notice");
  EXPECT_FALSE(m.m_bStopBitChanged);
  ASSERT_TRUE(BuildSetCommand(m));
  EXPECT_EQ(services.ui.Messages().size(), 1u);
}

TEST(SetupCommands, AMarginAbove512IsRefusedWithItsMessage) {
  ScopedFakeServices services;
  CSettingModel m = MakeModel();
  m.m_nLeftMargin = 513;
  EXPECT_EQ(CheckSetValue(m, false), SetCheck::MarginOutOfRange);
  EXPECT_TRUE(services.ui.Messages().empty());
  EXPECT_FALSE(BuildSetCommand(m));
  EXPECT_EQ(CheckSetValue(m, true), SetCheck::MarginOutOfRange);
  ASSERT_EQ(services.ui.Messages().size(), 1u);
  EXPECT_EQ(services.ui.Messages()[0].text, theMsg[MsgId::MarginRange]);
  EXPECT_EQ(services.ui.Messages()[0].caption, "Notice");
  m.m_nLeftMargin = 512;
  EXPECT_EQ(CheckSetValue(m, true), SetCheck::Ready);
}

}  // namespace
}  // namespace torva::test
