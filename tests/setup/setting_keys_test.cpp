// The command line's settings: what is refused (and that a refusal changes nothing), a
// backup written and read back that writes the same bytes, and the strict JSON reader.
#include "setup/setting_keys.h"

#include <algorithm>

#include "setup_test_util.h"
#include "support/fake_services.h"

namespace torva::test {
namespace {

// KEY=VALUE arguments split as they stand, so that ApplySettings sees unknown keys too.
std::vector<SettingKeyValue> Pairs(const std::vector<std::string>& args) {
  std::vector<SettingKeyValue> out;
  for (const auto& a : args) {
    const auto eq = a.find('=');
    out.push_back({a.substr(0, eq), eq == std::string::npos ? "" : a.substr(eq + 1)});
  }
  return out;
}

TEST(SettingKeys, RefusalsNameTheKeyAndChangeNothing) {
  struct Case {
    std::vector<std::string> args;
    const char* error;
    int model = kModelGeneric;
    bool korean = false;
  };
  const std::vector<Case> cases = {
      {{"paper-widht=80"}, "unknown setting \"paper-widht\""},
      {{"paper-width=90"}, "paper-width: \"90\" is not one of 80, 58"},
      {{"custom-code=1a2b"}, "custom-code: \"1a2b\" is not 1 to 8 upper-case"},
      {{"custom-code=123456789"}, "custom-code"},
      {{"left-margin=513"}, "left-margin: \"513\" is out of range 0..512"},
      {{"left-margin=-1"}, "left-margin"},
      {{"watermark=0"}, "watermark: \"0\" is neither off nor an image number"},
      {{"cut-adjust=256"}, "cut-adjust"},
      {{"code-page=200"}, "code-page: 200 is not in the code page list"},
      {{"paper-width=58", "nv-graphic=384", "nv-user=128"}, "may not exceed 448 KB"},
      {{"columns=30"}, "columns: only 58mm paper"},
      {{"paper-width=80", "columns=30"}, "columns: only 58mm paper"},
      {{"watermark=5", "paper-type=2color"}, "exclude each other"},
      {{"emulation=star"}, "emulation: this printer model has no such setting", kModelTorva30},
      {{"sleep=5"}, "sleep: this printer model has no such setting", kModelDlx2000},
      {{"receive-buffer=4"}, "not in the receive buffer list", kModelGeneric, true},
      {{"stop-bit=1", "stop-bit=2"}, "stop-bit: given more than once"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    ScopedFakeServices services;
    CSettingModel m = MakeModel(c.model, c.korean);
    m.m_nCutMode = 1;
    const auto before = SettingsOf(m);
    std::string error;
    EXPECT_FALSE(ApplySettings(m, Pairs(c.args), error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(SettingsOf(m), before);
  }
}

// What a dealer types reaches the printer as these entries.
TEST(SettingKeys, EachValueWordIsWrittenAsItsEntry) {
  struct Case {
    std::vector<std::string> args;
    Entry entry;
  };
  const std::vector<Case> cases = {
      {{"paper-width=80"}, {0x03, 6, 0}},
      {{"paper-width=58", "columns=30"}, {0x03, 2, 0}},
      {{"paper-width=58"}, {0x03, 3, 0}},
      {{"paper-type=black"}, {0x74, 1, 0}},
      {{"paper-type=2color"}, {0x74, 1, 1}},
      {{"paper-type=2color", "color-density=light"}, {0x76, 70, 0}},
      {{"watermark=9"}, {0xF2, 0, 9}},
      {{"watermark=off"}, {0xF2, 0, 0}},
      {{"cut-adjust=0"}, {0xF3, 1, 0}},
      {{"cut-adjust=off"}, {0xF3, 0, 0}},
      {{"drawer-with-cut=enable"}, {0xF4, 0, 1}},
      {{"bell-type=other", "bell-times=5"}, {0xF5, 0, 5}},
      {{"bell-type=melody3"}, {0xF5, 4, 3}},
      {{"code-page=254"}, {0xF6, 254, 0}},
      {{"nv-graphic=0"}, {0x02, 1, 0}},
      {{"nv-user=320"}, {0x01, 5, 0}},
      {{"cut-mode=full"}, {0xF7, 1, 1}},
      {{"bold-font=on"}, {0xF8, 0, 1}},
      {{"max-speed=200"}, {0xF9, 200, 0}},
      {{"drawer-self-test=disable"}, {0xFB, 1, 1}},
      {{"receive-buffer=4"}, {0xFC, '0', '4'}},
      {{"stop-bit=2"}, {0xFD, 1, 1}},
      {{"emulation=star"}, {0xCC, 1, 0}},
      {{"print-density=4"}, {0xD0, 4, 0}},
      {{"kitchen-bell=on"}, {0xCD, 1, 0}},
      {{"auto-cut=off"}, {0xCE, 2, 0}},
      {{"self-test=hexdump"}, {0xCF, 1, 0}},
      {{"usb-mode=com"}, {0xD2, 2, 0}},
      {{"sleep=15"}, {0xD4, 3, 0}},
      {{"paper-save=lv1"}, {0xD5, 1, 0}},
      {{"wifi-keep=disable"}, {0xC7, 0, 0x0A}},
      {{"lcd-password=keep"}, {0xD6, 0xFF, 0}},
      {{"left-margin=300"}, {0xFA, 0x2C, 1}},
      {{"custom-code=1A2B"}, {0xFF, 0x2B, 0x1A, 0, 0, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    ScopedFakeServices services;
    CSettingModel m = MakeModel();
    std::string error;
    ASSERT_TRUE(ApplySettings(m, Pairs(c.args), error)) << error;
    const auto cmd = BuildSetCommand(m);
    ASSERT_TRUE(cmd);
    const auto entries = Entries(cmd->bytes);
    EXPECT_NE(std::find(entries.begin(), entries.end(), c.entry), entries.end());
    // One entry of its own beside the three that always go (the custom code's is that one).
    EXPECT_EQ(entries.size(), c.entry[0] == 0xFF || c.entry[0] == 0xFA ? 3u : 4u);
  }
}

TEST(SettingKeys, AQuestionAnsweredNoIsAFailureNotAnotherWrite) {
  for (bool yes : {true, false}) {
    ScopedFakeServices services;
    CSettingModel m = MakeModel();
    ApplyReply(m, 116, "257");  // the printer has two-colour paper
    services.ui.m_answers.push_back(yes);
    std::string error;
    EXPECT_EQ(ApplySettings(m, Pairs({"watermark=5"}), error), yes) << error;
    EXPECT_EQ(services.ui.Questions().size(), 1u);
    EXPECT_EQ(m.m_nPaperType, yes ? 0 : 1);
    EXPECT_EQ(m.m_nWaterMark, yes ? 1 : -1);
  }
}

TEST(SettingKeys, KeyValueArguments) {
  SettingKeyValue kv;
  std::string error;
  EXPECT_TRUE(ParseKeyValueArg("custom-code=1A2B", kv, error));
  EXPECT_EQ(kv, (SettingKeyValue{"custom-code", "1A2B"}));
  for (const char* bad : {"paper-width", "=80", "colour=red"}) {
    EXPECT_FALSE(ParseKeyValueArg(bad, kv, error)) << bad;
  }
  EXPECT_EQ(KeyOfSetting(246), "code-page");
  EXPECT_EQ(SettingLabel(3), "Paper Width & Max. Column");
  EXPECT_EQ(KeyOfSetting(7), "");
}

// A printer's settings, read back, saved, read again and applied to a fresh model, make the
// same write command (every setting that Get Value reads).
TEST(SettingKeys, ABackupRestoresTheSameWrite) {
  ScopedFakeServices services;
  ScopedTempDir dir;
  CSettingModel source = MakeModel();
  const std::vector<std::pair<int, const char*>> replies = {
      {3, "2"},    {116, "257"}, {118, "100"}, {242, "0"}, {243, "112"}, {244, "1"},
      {245, "35"}, {246, "16"},  {247, "1"},   {248, "0"}, {249, "180"}, {250, "1255"},
      {251, "0"},  {252, "20"},  {253, "1"},   {1, "2"},   {2, "5"},     {255, "6699"}};
  for (auto [a, text] : replies) ApplyReply(source, a, text);
  const auto saved = SettingsOf(source);
  std::string error;
  ASSERT_TRUE(WriteBackupFile(dir.File("printer.json"), saved, error)) << error;
  std::vector<SettingKeyValue> read;
  ASSERT_TRUE(ReadBackupFile(dir.File("printer.json"), read, error)) << error;
  EXPECT_EQ(read, saved);

  CSettingModel target = MakeModel();
  ASSERT_TRUE(ApplySettings(target, read, error)) << error;
  source.m_bStopBitChanged = target.m_bStopBitChanged = false;
  const auto a = BuildSetCommand(source), b = BuildSetCommand(target);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(Entries(b->bytes), Entries(a->bytes));
  EXPECT_EQ(Entries(a->bytes).size(), 18u);
}

TEST(SettingKeys, TheJsonReaderIsStrict) {
  struct Case {
    const char* text;
    const char* error;  // nullptr: accepted
  };
  const std::vector<Case> cases = {
      {"{}", nullptr},
      {" {\"left-margin\": 300, \"custom-code\": \"1A2B\"}\n", nullptr},
      {"{\"paper-width\": \"8\\u0030\"}", nullptr},
      {"", "line 1, column 1: expected a JSON object"},
      {"[]", "line 1, column 1"},
      {"{\"paper-width\": \"80\",}", "expected a string"},
      {"{\"paper-width\": \"80\"} x", "text after the object"},
      {"{\"paper-width\": \"80\"", "expected ',' or '}'"},
      {"{\n  \"paper-width\": \"80\",\n  \"paper-width\": \"58\"\n}",
       "line 3, column 3: paper-width appears twice"},
      {"{\"paper-width\": 80.5}", "a string or a whole number"},
      {"{\"left-margin\": 030}", "a string or a whole number"},
      {"{\"paper-width\": true}", "a string or a whole number"},
      {"{\"paper-width\": {}}", "a string or a whole number"},
      {"{\"paper-width\": \"8\\u00e9\"}", "only ASCII"},
      {"{\"paper-width\" \"80\"}", "expected ':'"},
      {"{\"colour\": \"red\"}", "unknown setting \"colour\""},
      {"{\"left-margin\": 600}", "out of range 0..512"},
      {"{\"paper-width\": \"80", "unterminated string"},
  };
  for (const auto& c : cases) {
    std::vector<SettingKeyValue> out;
    std::string error;
    const bool ok = SettingsFromJson(c.text, out, error);
    EXPECT_EQ(ok, c.error == nullptr) << c.text << ": " << error;
    if (c.error) {
      EXPECT_NE(error.find(c.error), std::string::npos) << c.text << ": " << error;
    }
  }
}

}  // namespace
}  // namespace torva::test
