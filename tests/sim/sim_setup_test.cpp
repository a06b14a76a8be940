// The simulated printer's user-setting mode, driven directly: what a write leaves in the
// state, what an ask answers, and the cases where the printer ignores or refuses.
#include "sim_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "sim_basic_commands.h"
#include "support/fake_services.h"

namespace torva::sim {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Cmd(std::initializer_list<uint8_t> body) {
  Bytes b{0x1D, 0x28, 0x45, static_cast<uint8_t>(body.size()), 0x00};
  b.insert(b.end(), body);
  return b;
}
const Bytes kEnter = Cmd({0x01, 'I', 'N'});
const Bytes kLeave = Cmd({0x02, 'O', 'U', 'T'});
Bytes Ask(uint8_t a) { return Cmd({0x06, a}); }
std::string Frame(int a, const std::string& text) {
  return "\x37\x27" + std::to_string(a) + "\x1F" + text + std::string(1, '\0');
}

class SimSetupTest : public ::testing::Test {
 protected:
  void Make(SetupSimOptions o = {}, const std::string& paperDir = {}) {
    m_store = std::make_unique<CNvStore>(paperDir);
    // No waiting for a restart unless the test asks for one.
    if (o.nRestartMs == SetupSimOptions{}.nRestartMs) o.nRestartMs = 0;
    m_setup = std::make_unique<CSimSetup>(o);
    std::string error;
    ASSERT_TRUE(m_setup->Start(error)) << error;
    m_printer = std::make_unique<CSimPrinter>(SimPrinterOptions{});
    RegisterSetupCommands(*m_printer, *m_setup, *m_store);
    RegisterBasicCommands(*m_printer);
    RegisterNvCommands(*m_printer, *m_store);
  }
  std::string Feed(const Bytes& b) {
    const Bytes r = m_printer->Receive(m_input, b.data(), b.size());
    return std::string(r.begin(), r.end());
  }
  std::string Write(Bytes entries) {
    Bytes w{0x1D,
            0x28,
            0x45,
            static_cast<uint8_t>((entries.size() + 1) & 0xFF),
            static_cast<uint8_t>((entries.size() + 1) >> 8),
            0x05};
    w.insert(w.end(), entries.begin(), entries.end());
    Bytes all = kEnter;
    all.insert(all.end(), w.begin(), w.end());
    all.insert(all.end(), kLeave.begin(), kLeave.end());
    return Feed(all);
  }

  std::unique_ptr<CNvStore> m_store;
  std::unique_ptr<CSimSetup> m_setup;
  std::unique_ptr<CSimPrinter> m_printer;
  CSimInput m_input;
};

struct RoundTrip {
  Bytes entries;  // written in one command
  int a;          // then asked for
  std::string text;
};

class SimSetupRoundTrip : public SimSetupTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SimSetupRoundTrip, WriteThenAskAnswersInThePrintersForm) {
  Make();
  EXPECT_EQ(Write(GetParam().entries), "");
  EXPECT_EQ(Feed(Ask(static_cast<uint8_t>(GetParam().a))), Frame(GetParam().a, GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SimSetupRoundTrip,
    ::testing::Values(
        // Margin: the high byte's digit, then the low byte.
        RoundTrip{{0xFA, 0x2C, 0x01}, 250, "144"}, RoundTrip{{0xFA, 0xFF, 0x01}, 250, "1255"},
        RoundTrip{{0xFA, 0x00, 0x02}, 250, "20"}, RoundTrip{{0xFA, 0xC8, 0x00}, 250, "0200"},
        RoundTrip{{0xFA, 0x07, 0x00}, 250, "07"}, RoundTrip{{0x03, 0x02, 0x00}, 3, "2"},
        RoundTrip{{0x74, 0x01, 0x01}, 116, "257"}, RoundTrip{{0xF2, 0x00, 0x05}, 242, "15"},
        RoundTrip{{0xF3, 0x01, 0x0C}, 243, "112"}, RoundTrip{{0xF3, 0x00, 0x00}, 243, "0"},
        RoundTrip{{0xF5, 0x02, 0x03}, 245, "23"}, RoundTrip{{0xF4, 0x00, 0x01}, 244, "1"},
        RoundTrip{{0xF9, 0x96, 0x00}, 249, "150"}, RoundTrip{{0xFC, '3', '2'}, 252, "32"},
        RoundTrip{{0xF6, 0x10, 0x00}, 246, "16"},
        RoundTrip{{0xFF, 0x2B, 0x1A, 0x00, 0x00, 0x04}, 255, "6699"},
        RoundTrip{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x04}, 255, "4294967295"},
        // The last entry for a setting wins; entries for other settings go along.
        RoundTrip{{0x01, 0x02, 0x00, 0x02, 0x03, 0x00, 0x01, 0x05, 0x00}, 1, "5"},
        // Values a setting does not take leave it as it was (defaults: 80 mm, 64 KB, 3 bells).
        RoundTrip{{0x03, 0x05, 0x00}, 3, "6"}, RoundTrip{{0xFA, 0x01, 0x02}, 250, "00"},
        RoundTrip{{0x01, 0x06, 0x00}, 1, "1"}, RoundTrip{{0xF5, 0x01, 0x06}, 245, "13"},
        RoundTrip{{0xFC, '4', '0'}, 252, "04"},
        // Not filling the command exactly refuses it whole.
        RoundTrip{{0x03, 0x02, 0x00, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x05}, 3, "6"},
        RoundTrip{{0x03, 0x02, 0x00, 0xFA}, 3, "6"}),
    [](const ::testing::TestParamInfo<RoundTrip>& p) {
      return "a" + std::to_string(p.param.a) + "_" + std::to_string(p.index);
    });

TEST_F(SimSetupTest, WritesNeedTheSettingModeAndTheStateFileFollows) {
  test::ScopedTempDir dir;
  SetupSimOptions o;
  o.strSettingsOut = dir.File("state.json");
  Make(o);
  const std::string initial = test::ReadFileBytes(o.strSettingsOut);
  EXPECT_NE(initial.find("\"250\": 0"), std::string::npos) << initial;
  // Outside the mode a write is ignored.
  Feed({0x1D, 0x28, 0x45, 0x04, 0x00, 0x05, 0xFA, 0x2C, 0x01});
  EXPECT_EQ(m_setup->State().Get(250), 0u);
  EXPECT_EQ(m_setup->Writes(), 0);
  Write({0xFA, 0x2C, 0x01});
  EXPECT_EQ(m_setup->Writes(), 1);
  EXPECT_EQ(m_setup->Restarts(), 1);
  EXPECT_FALSE(m_setup->InSettingMode());
  // The file is what a new printer starts from.
  CSetupState reread;
  std::string error;
  ASSERT_TRUE(reread.Load(o.strSettingsOut, error)) << error;
  EXPECT_EQ(reread.Values(), m_setup->State().Values());
  EXPECT_EQ(reread.Get(250), 300u);
}

TEST_F(SimSetupTest, StateFilesWithUnknownSettingsOrValuesAreRefused) {
  test::ScopedTempDir dir;
  const struct {
    const char* text;
    bool ok;
  } cases[] = {{"{\"3\": 2, \"250\": 512}", true},
               {"{}", true},
               {"{\"200\": 1}", false},
               {"{\"3\": 4}", false},
               {"{\"250\": 513}", false},
               {"{\"3\": 2,}", false},
               {"{\"3\": -2}", false},
               {"{\"255\": 4294967296}", false},
               {"[1]", false}};
  for (const auto& c : cases) {
    test::WriteFileBytes(dir.File("in.json"), c.text);
    CSetupState state;
    std::string error;
    EXPECT_EQ(state.Load(dir.File("in.json"), error), c.ok) << c.text << ": " << error;
    if (!c.ok) {
      EXPECT_EQ(state.Values(), CSetupState().Values()) << c.text;
    }
  }
}

TEST_F(SimSetupTest, OptionsLeaveUnansweredAndReplaceTexts) {
  SetupSimOptions o;
  o.unanswered[250] = 2;
  o.unanswered[252] = -1;
  o.replyTexts[3] = "9";
  Make(o);
  EXPECT_EQ(Feed(Ask(250)), "");
  EXPECT_EQ(Feed(Ask(250)), "");
  EXPECT_EQ(Feed(Ask(250)), Frame(250, "00"));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Feed(Ask(252)), "");
  EXPECT_EQ(Feed(Ask(3)), Frame(3, "9"));
  // Settings that are only written, and numbers the printer lacks, are not answered.
  EXPECT_EQ(Feed(Ask(204)), "");
  EXPECT_EQ(Feed(Ask(200)), "");
}

TEST_F(SimSetupTest, RestartIgnoresWhatArrives) {
  SetupSimOptions o;
  o.nRestartMs = 60000;
  Make(o);
  Bytes b = kEnter;
  b.insert(b.end(), kLeave.begin(), kLeave.end());
  const Bytes ask = Ask(3);
  b.insert(b.end(), ask.begin(), ask.end());
  b.insert(b.end(), {0x1D, 0x49, 0x01});
  EXPECT_EQ(Feed(b), "");
  EXPECT_TRUE(m_setup->Restarting());
  EXPECT_EQ(m_printer->CommandCount("GS I"), 0);
}

TEST_F(SimSetupTest, SplitAnswersArriveInPiecesAndInOrder) {
  SetupSimOptions o;
  o.nReplySplit = 2;
  Make(o);
  Bytes b = Ask(3);
  const Bytes second = Ask(116);
  b.insert(b.end(), second.begin(), second.end());
  b.insert(b.end(), {0x1D, 0x49, 0x01});  // a prompt answer queues behind them
  EXPECT_EQ(Feed(b), "");
  ASSERT_GE(m_input.m_later.size(), 6u);
  for (const auto& piece : m_input.m_later) EXPECT_LE(piece.bytes.size(), 2u);
  std::string all;
  for (int round = 0; round < 200 && !m_input.m_later.empty(); ++round) {
    SimClock::time_point next;
    const Bytes due = m_printer->Poll(m_input, next);
    all.append(due.begin(), due.end());
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(all, Frame(3, "6") + Frame(116, "1") + "\x20");
}

TEST_F(SimSetupTest, StatusBackUntilDisabledAndAgainAfterARestart) {
  SetupSimOptions o;
  o.bParallel = true;
  Make(o);
  SimClock::time_point next;
  EXPECT_EQ(m_printer->Poll(m_input, next), (Bytes{0x14, 0x00, 0x00, 0x0F}));
  EXPECT_GT(next, SimClock::now());
  EXPECT_EQ(m_printer->Poll(m_input, next), Bytes{});  // not before its second
  Feed({0x1D, 0x61, 0x00});
  EXPECT_FALSE(m_setup->StatusBackOn());
  Bytes b = kEnter;
  b.insert(b.end(), kLeave.begin(), kLeave.end());
  Feed(b);
  EXPECT_TRUE(m_setup->StatusBackOn());
  EXPECT_EQ(m_printer->Poll(m_input, next), (Bytes{0x14, 0x00, 0x00, 0x0F}));
}

TEST_F(SimSetupTest, TestPrintIsCutOntoAPaper) {
  test::ScopedTempDir dir;
  Make({}, dir.Path());
  const std::string title = "USER SETUP UTILITY TEST PRINT!\n";
  Bytes stream{0x1B, 0x40};
  stream.insert(stream.end(), title.begin(), title.end());
  stream.insert(stream.end(), {0x00, 0x1D, 0x28, 0x4E, 0x02, 0x00, 0x30, 0x32});
  stream.insert(stream.end(), {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 0x00, 0x0A, 0x00});
  for (int c = 0x80; c <= 0xFF; ++c) stream.push_back(static_cast<uint8_t>(c));
  stream.insert(stream.end(), {0x0A, 0x00, 0x1B, 0x69});
  Feed(stream);
  EXPECT_EQ(m_printer->UnknownBytes(), 0u);
  ASSERT_FALSE(m_store->LastPaper().empty());
  EXPECT_FALSE(test::ReadFileBytes(m_store->LastPaper()).empty());
  EXPECT_TRUE(m_store->PendingLines().empty());
}

}  // namespace
}  // namespace torva::sim
