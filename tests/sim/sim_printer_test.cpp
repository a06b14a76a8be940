// The simulated printer's byte-stream model, driven directly.
#include "sim_printer.h"

#include <gtest/gtest.h>

#include "sim_basic_commands.h"
#include "support/fake_services.h"

namespace torva::sim {
namespace {

using Bytes = std::vector<uint8_t>;

class SimPrinterTest : public ::testing::Test {
 protected:
  CSimPrinter& Make(SimPrinterOptions options = {}) {
    m_printer = std::make_unique<CSimPrinter>(options);
    RegisterBasicCommands(*m_printer);
    return *m_printer;
  }
  Bytes Feed(const Bytes& bytes) { return m_printer->Receive(m_input, bytes.data(), bytes.size()); }

  std::unique_ptr<CSimPrinter> m_printer;
  CSimInput m_input;
};

struct AnswerCase {
  std::vector<Bytes> pieces;  // received in these reads
  Bytes reply;                // everything answered
  uint64_t unknown;
};

class SimAnswerTest : public SimPrinterTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(SimAnswerTest, AnswersWhatItUnderstands) {
  Make();
  Bytes reply;
  for (const Bytes& p : GetParam().pieces) {
    Bytes r = Feed(p);
    reply.insert(reply.end(), r.begin(), r.end());
  }
  EXPECT_EQ(reply, GetParam().reply);
  EXPECT_EQ(m_printer->UnknownBytes(), GetParam().unknown);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SimAnswerTest,
    ::testing::Values(AnswerCase{{{0x1D, 0x49, 0x01}}, {0x20}, 0},
                      AnswerCase{{{0x1D, 0x49, 0x31}}, {0x20}, 0},
                      // A command split over reads is answered once it is complete.
                      AnswerCase{{{0x1D}, {0x49}, {0x01}}, {0x20}, 0},
                      AnswerCase{{{0x1B, 0x40, 0x1D, 0x49, 0x01, 0x1D, 0x49, 0x01}}, {0x20, 0x20}, 0},
                      // Unknown bytes are taken and counted; what follows is still understood.
                      AnswerCase{{{0x41, 0x1D, 0x42, 0x1D, 0x49, 0x01}}, {0x20}, 3},
                      // Other printer IDs are taken without an answer.
                      AnswerCase{{{0x1D, 0x49, 0x02}}, {}, 0}));

TEST_F(SimPrinterTest, StatusByteIsAnOption) {
  SimPrinterOptions o;
  o.nStatusByte = 0x5A;
  Make(o);
  EXPECT_EQ(Feed({0x1D, 0x49, 0x01}), Bytes{0x5A});
}

TEST_F(SimPrinterTest, SilentPrinterAnswersNothingButStillUnderstands) {
  SimPrinterOptions o;
  o.bSilent = true;
  Make(o);
  EXPECT_TRUE(Feed({0x1D, 0x49, 0x01}).empty());
  EXPECT_EQ(m_printer->CommandCount("GS I"), 1);
}

TEST_F(SimPrinterTest, CaptureKeepsEveryReceivedByteInOrder) {
  torva::test::ScopedTempDir dir;
  SimPrinterOptions o;
  o.strCapturePath = dir.File("capture.bin");
  Make(o);
  Feed({0x1B, 0x40, 0x99});
  Feed({0x1D, 0x49});
  EXPECT_EQ(torva::test::ReadFileBytes(o.strCapturePath), std::string("\x1B\x40\x99\x1D\x49"));
}

// A handler registered after the basic ones: how later protocols plug in.
class CCountingReset final : public ISimCommand {
 public:
  const char* Name() const override { return "probe"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter&) override {
    static constexpr uint8_t kPrefix[] = {0x10, 0x04};
    switch (MatchPrefix(input, kPrefix)) {
      case PrefixMatch::No: return SimResult::NotMine();
      case PrefixMatch::Partial: return SimResult::NeedMore();
      case PrefixMatch::Full: break;
    }
    return SimResult::Consumed(2, {static_cast<uint8_t>(m_nResets)});
  }
  void Reset() override { ++m_nResets; }
  int m_nResets = 0;
};

TEST_F(SimPrinterTest, AddedHandlersAnswerAndEscAtResetsThem) {
  Make();
  m_printer->AddCommand(std::make_unique<CCountingReset>());
  EXPECT_EQ(Feed({0x10, 0x04}), Bytes{0x00});
  EXPECT_EQ(Feed({0x1B, 0x40, 0x10}), Bytes{});
  EXPECT_EQ(Feed({0x04}), Bytes{0x01});
}

}  // namespace
}  // namespace torva::sim
