// The print job and engine against a recording link: All, selections, sizes, the header
// line, star emulation, pacing on the fake clock, and failures.
#include <gtest/gtest.h>

#include "app/messages.h"
#include "job_fixture.h"
#include "logo/print_engine.h"
#include "logo/print_job.h"

namespace torva::test {
namespace {

const Bytes kCheck{0x1D, 0x49, 0x01};
const Bytes kInit{0x1B, 0x40};

class PrintTest : public LogoJobFixture {
 protected:
  PrintResult Print(CPrinterLink& link, PrintSettings settings) {
    CPrintJob job(link, std::move(settings));
    return job.Run();
  }
  // The print commands after the connection's check and initialise.
  static std::vector<Bytes> Commands(const CRecordingLink& link, size_t skip = 2) {
    return {link.m_writes.begin() + static_cast<std::ptrdiff_t>(skip), link.m_writes.end()};
  }
};

TEST_F(PrintTest, AllSends255PrintsOneEach300Ms) {
  SetPort("COM1");
  CRecordingLink link(port);
  PrintSettings s;
  s.eMode = NvPrintMode::DoubleWidth;
  CPrintJob job(link, s);
  ASSERT_TRUE(job.Begin());
  CPrintEngine& engine = job.Engine();
  const CPrintEngine::Outcome outcome = engine.Run();
  EXPECT_EQ(outcome, CPrintEngine::Outcome::Finished);
  EXPECT_EQ(job.End(true), PrintResult::Printed);
  const auto cmds = Commands(link);
  ASSERT_EQ(cmds.size(), 255u);
  for (int n = 1; n <= 255; ++n) {
    EXPECT_EQ(cmds[static_cast<size_t>(n - 1)], (Bytes{0x1C, 0x70, static_cast<uint8_t>(n), 1}));
  }
  EXPECT_EQ(engine.StatusText(), "Printing... 255/255");
  EXPECT_EQ(engine.ProgressPos(), 255);
  EXPECT_EQ(engine.ProgressRange(), 255);
  std::vector<int> waits(256, 300);
  waits.push_back(1000);
  EXPECT_EQ(services.clock.Waits(), waits);
}

TEST_F(PrintTest, SelectionPrintsItsNumbersInOrder) {
  SetPort("COM1");
  CRecordingLink link(port);
  PrintSettings s;
  s.bSelection = true;
  s.strSelection = "1-3,7";
  EXPECT_EQ(Print(link, s), PrintResult::Printed);
  EXPECT_EQ(Commands(link), (std::vector<Bytes>{{0x1C, 0x70, 1, 0}, {0x1C, 0x70, 2, 0},
                                                {0x1C, 0x70, 3, 0}, {0x1C, 0x70, 7, 0}}));
  EXPECT_EQ(services.clock.Waits(), (std::vector<int>{300, 300, 300, 300, 300, 1000}));
}

TEST_F(PrintTest, HeaderLineComesBeforeEachPrint) {
  SetPort("ETHERNET_II");
  CRecordingLink link(port);
  PrintSettings s;
  s.bSelection = true;
  s.strSelection = "7";
  s.bHeader = true;
  s.eMode = NvPrintMode::Quadruple;
  EXPECT_EQ(Print(link, s), PrintResult::Printed);
  const std::string header = "--- Logo 7 ---\n";
  ASSERT_EQ(link.m_writes.size(), 2u);  // a network printer gets no check
  EXPECT_EQ(link.m_writes[0], Bytes(header.begin(), header.end()));
  EXPECT_EQ(link.m_writes[0].size(), 15u);
  EXPECT_EQ(link.m_writes[1], (Bytes{0x1C, 0x70, 7, 3}));
}

TEST_F(PrintTest, StarEmulationPrefixesThePrintCommand) {
  SetPort("LPT1");
  CRecordingLink link(port);
  PrintSettings s;
  s.bSelection = true;
  s.strSelection = "2";
  s.eMode = NvPrintMode::DoubleHeight;
  s.bStarEmulation = true;
  EXPECT_EQ(Print(link, s), PrintResult::Printed);
  // A parallel printer gets the check without the initialise, and is opened, not reopened.
  EXPECT_EQ(link.m_writes, (std::vector<Bytes>{kCheck, {0x1B, 0x1C, 0x70, 2, 2}}));
  EXPECT_EQ(link.m_reopens, std::vector<bool>{false});
}

TEST_F(PrintTest, RefusedSelectionShowsMessage25AndPrintsNothing) {
  SetPort("COM1");
  CRecordingLink link(port);
  PrintSettings s;
  s.bSelection = true;
  s.strSelection = "1--2";
  EXPECT_EQ(Print(link, s), PrintResult::InvalidRange);
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::NvImageNumberIncorrect]});
  EXPECT_EQ(link.m_writes, (std::vector<Bytes>{kCheck, kInit}));
  EXPECT_EQ(link.m_nCloses, 1);
}

TEST_F(PrintTest, FailedPrintWriteStopsWithMessage42) {
  SetPort("COM1");
  CRecordingLink link(port);
  link.m_nFailAt = 4;  // the third print command
  EXPECT_EQ(Print(link, PrintSettings{}), PrintResult::Failed);
  EXPECT_EQ(Commands(link).size(), 2u);
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::CommCannotTransmit]});
  EXPECT_EQ(services.clock.Waits(), (std::vector<int>{300, 300, 300}));  // no end pause
}

TEST_F(PrintTest, CancelStopsBetweenTicks) {
  SetPort("COM1");
  CRecordingLink link(port);
  int ticks = 0;
  CPrintJob job(link, PrintSettings{});
  ASSERT_TRUE(job.Begin());
  EXPECT_EQ(job.Engine().Run({}, [&] { return ++ticks > 3; }), CPrintEngine::Outcome::Cancelled);
  EXPECT_EQ(job.End(false), PrintResult::Cancelled);
  EXPECT_EQ(Commands(link).size(), 3u);
}

TEST_F(PrintTest, PortThatDoesNotOpenShowsMessage18) {
  SetPort("COM1");
  CRecordingLink link(port);
  link.m_bOpenOk = false;
  EXPECT_EQ(Print(link, PrintSettings{}), PrintResult::NotConnected);
  EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{theMsg[MsgId::PortOpenError]});
}

struct AllowCase {
  const char* port;
  bool allowed;
};
class PrintAllowedTest : public ::testing::TestWithParam<AllowCase> {};
TEST_P(PrintAllowedTest, PrintNeedsAPrinter) {
  EXPECT_EQ(PrintAllowedForPort(GetParam().port), GetParam().allowed) << GetParam().port;
}
INSTANTIATE_TEST_SUITE_P(Ports, PrintAllowedTest,
                         ::testing::Values(AllowCase{"COM3", true}, AllowCase{"LPT1", true},
                                           AllowCase{"USB", true}, AllowCase{"ETHERNET_II", true},
                                           AllowCase{"/dev/ttyUSB0", true},
                                           AllowCase{"/dev/usb/lp0", true},
                                           AllowCase{"FILE", false}, AllowCase{"WIFI", false},
                                           AllowCase{"", false}));

TEST(PrinterDetails, FileShowsToFileTwice) {
  EXPECT_EQ(PrinterDetailsFor("FILE", 3).strPrinterName, "To File");
  EXPECT_EQ(PrinterDetailsFor("FILE", 3).strPortName, "To File");
  EXPECT_EQ(PrinterDetailsFor("COM1", 2).strPrinterName, "TORVA10");
  EXPECT_EQ(PrinterDetailsFor("COM1", 6).strPrinterName, "TORVA");
  EXPECT_EQ(PrinterDetailsFor("COM1", 6).strPortName, "COM1");
}

}  // namespace
}  // namespace torva::test
