// The upload and print jobs against torva-printer-sim over a serial pseudo-terminal and TCP,
// to a file and to a parallel-port stand-in, and a printer that vanishes mid-upload. The
// bytes that reached the printer are decoded by the simulator's own printer model.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app/messages.h"
#include "job_fixture.h"
#include "logo/print_job.h"
#include "logo/upload_job.h"
#include "network/printer_socket.h"
#include "sim_nv_store.h"
#include "sim_printer.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

// Waits that pass at a small fraction of the time they ask for: the simulator gets a
// moment between pieces, as on a real line, without the test taking the prescribed time.
class CPacingClock final : public IClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }
  void SleepMs(int ms) override {
    m_nTotal += ms;
    std::this_thread::sleep_for(std::chrono::microseconds(ms > 100 ? 2000 : ms * 100));
  }
  long m_nTotal = 0;
};

// The define and print commands a byte stream holds, decoded by the simulator's model.
struct Decoded {
  std::unique_ptr<sim::CNvStore> store = std::make_unique<sim::CNvStore>();
  uint64_t nUnknown = 0;
};
Decoded Decode(const std::string& bytes) {
  Decoded d;
  sim::CSimPrinter printer(sim::SimPrinterOptions{});
  sim::RegisterNvCommands(printer, *d.store);
  sim::CSimInput input;
  printer.Receive(input, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  d.nUnknown = printer.UnknownBytes();
  return d;
}

int PngHeight(const std::string& path) {
  const std::string png = ReadFileBytes(path);
  if (png.size() < 24) return -1;
  int h = 0;
  for (int i = 20; i < 24; ++i) h = h * 256 + static_cast<uint8_t>(png[static_cast<size_t>(i)]);
  return h;
}

class LogoJobSimTest : public LogoJobFixture {
 protected:
  void StartSim(std::vector<std::string> args) {
    std::filesystem::create_directories(Paper());
    args.insert(args.end(), {"--paper-dir", Paper(), "--capture", Capture()});
    ASSERT_TRUE(sim.Start(args)) << sim.Error();
  }
  std::string Paper() const { return dir.File("paper"); }
  std::string Capture() const { return dir.File("capture.bin"); }
  std::string PaperFile(int n) const {
    char name[32];
    std::snprintf(name, sizeof name, "/paper-%04d.png", n);
    return Paper() + name;
  }
  // Bounded wait until the simulator has read count bytes (its capture is written through).
  std::string CaptureOf(size_t count) const {
    std::string got;
    for (int i = 0; i < 1000 && got.size() < count; ++i) {
      got = ReadFileBytes(Capture());
      if (got.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
  }
  size_t PaperCount() const {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(Paper())) n += e.is_regular_file();
    return n;
  }
  void AddSevenTwoFive() {
    // Heights 24, 8 and 16 dots tell the images apart on the paper.
    ASSERT_TRUE(list.AddBitmap(Bmp("seven.bmp", 16, 24), 7));
    ASSERT_TRUE(list.AddBitmap(Bmp("two.bmp", 16, 8), 2));
    ASSERT_TRUE(list.AddBitmap(Bmp("five.bmp", 16, 16), 5));
  }
  UploadResult Upload(CPrinterLink& link) {
    services.ui.m_answers.push_back(true);
    CUploadJob job(link, list, entries, options, 3, keyCount);
    return job.Run();
  }
  // Bytes the upload of the three images writes after the connection's own check.
  static constexpr size_t kDefineBytes = 3 + 3 * 4 + 2 * 16 * 3;

  CSimProcess sim;
};

// The paper of "--- Logo n ---" above an image of h dots: text cell, image, feed.
int PaperHeight(int imageHeight) { return 24 + imageHeight + 20; }

TEST_F(LogoJobSimTest, SerialUploadInNumberOrderThenPrintWithHeaders) {
  StartSim({});
  SetPort(sim.SerialPath());
  port.m_nFlowControl = 1;
  AddSevenTwoFive();
  {
    CPrinterLink link(port);
    ASSERT_EQ(Upload(link), UploadResult::Completed) << log.Text();
  }
  const std::string sent = CaptureOf(5 + kDefineBytes);
  ASSERT_EQ(sent.size(), 5 + kDefineBytes);
  const Decoded d = Decode(sent.substr(5));
  ASSERT_EQ(d.store->ImageCount(), 3);
  EXPECT_EQ(d.store->Image(1)->HeightDots(), 8);   // number 2
  EXPECT_EQ(d.store->Image(2)->HeightDots(), 16);  // number 5
  EXPECT_EQ(d.store->Image(3)->HeightDots(), 24);  // number 7
  EXPECT_EQ(d.nUnknown, 0u);
  EXPECT_EQ(Ini(), "[LOGO]\r\nLogofile1=" + dir.File("two.bmp") + "\r\nLogofile2=" +
                       dir.File("five.bmp") + "\r\nLogofile3=" + dir.File("seven.bmp") + "\r\n");

  PrintSettings s;
  s.bSelection = true;
  s.strSelection = "3,1-2";
  s.bHeader = true;
  CPrinterLink printLink(port);
  CPrintJob job(printLink, s);
  EXPECT_EQ(job.Run(), PrintResult::Printed);
  CaptureOf(sent.size() + 5 + 3 * (15 + 4));
  for (int i = 0; i < 500 && PaperCount() < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(PngHeight(PaperFile(1)), PaperHeight(24));
  EXPECT_EQ(PngHeight(PaperFile(2)), PaperHeight(8));
  EXPECT_EQ(PngHeight(PaperFile(3)), PaperHeight(16));
}

TEST_F(LogoJobSimTest, TcpUploadThenPrintAllQuadruple) {
  StartSim({"--no-serial", "--tcp-port", "0"});
  SetPort("ETHERNET_II");
  ASSERT_TRUE(list.AddBitmap(Bmp("one.bmp", 16, 8), 1));
  CPrinterSocket socket;
  CPrinterLink link(port, socket, "127.0.0.1", sim.TcpPort());
  ASSERT_EQ(Upload(link), UploadResult::Completed) << log.Text();
  EXPECT_EQ(services.clock.Waits()[1], 5000);  // after the connect probe's 50 ms
  const size_t uploaded = 3 + 4 + 16;
  ASSERT_EQ(CaptureOf(uploaded).size(), uploaded);

  PrintSettings s;
  s.eMode = NvPrintMode::Quadruple;
  CPrintJob job(link, s);
  EXPECT_EQ(job.Run(), PrintResult::Printed);
  ASSERT_EQ(CaptureOf(uploaded + 255 * 4).size(), uploaded + 255 * 4);
  // Only image 1 is stored: one paper, the image twice as wide and twice as high.
  for (int i = 0; i < 500 && PaperCount() < 1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(PaperCount(), 1u);
  EXPECT_EQ(PngHeight(PaperFile(1)), 16 + 20);
  EXPECT_FALSE(socket.IsConnected());  // closed at the end of each job
}

TEST_F(LogoJobSimTest, TcpEraseOfAnEmptyList) {
  StartSim({"--no-serial", "--tcp-port", "0"});
  SetPort("ETHERNET_II");
  CPrinterSocket socket;
  CPrinterLink link(port, socket, "127.0.0.1", sim.TcpPort());
  EXPECT_EQ(Upload(link), UploadResult::Erased);
  EXPECT_EQ(CaptureOf(7), std::string("\x1C\x71\x01\x00\x00\x00\x00", 7));
  EXPECT_EQ(services.clock.Waits().front(), 100);  // the pause before the probe
}

TEST_F(LogoJobSimTest, FileUploadIsAValidDefineCommand) {
  AddSevenTwoFive();
  SetPort("FILE");
  services.ui.m_printNames.push_back(dir.File("logos.prn"));
  CPrinterLink link(port);
  ASSERT_EQ(Upload(link), UploadResult::Completed);
  const std::string bytes = ReadFileBytes(dir.File("logos.prn"));
  EXPECT_EQ(bytes.size(), kDefineBytes);
  const Decoded d = Decode(bytes);
  EXPECT_EQ(d.store->ImageCount(), 3);
  EXPECT_EQ(d.store->Defines(), 1);
  EXPECT_EQ(d.nUnknown, 0u);
}

// After a removal the next file takes the freed number, so list positions and upload order
// differ; a tick still centres its own image and no other.
TEST_F(LogoJobSimTest, AutoCentreTickFollowsItsEntryThroughRemoveAddAndUpload) {
  SetPort("FILE");
  for (const std::string ticked : {"b.bmp", "c.bmp", "d.bmp"}) {
    SCOPED_TRACE(ticked);
    list.ResetList();
    options.abAutoCenter.fill(false);
    // Heights tell the images apart: a 8, b 16, c 24, d 32 dots; all 16 dots wide.
    ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 16, 8), 0));
    ASSERT_TRUE(list.AddBitmap(Bmp("b.bmp", 16, 16), 0));
    ASSERT_TRUE(list.AddBitmap(Bmp("c.bmp", 16, 24), 0));
    list.RemoveNumber(1);
    ASSERT_TRUE(list.AddBitmap(Bmp("d.bmp", 16, 32), 0));
    ASSERT_EQ(list.EntryNumber(2), 1);  // d: last in the list, first on the printer
    for (size_t i = 0; i < entries.Count(); ++i) options.abAutoCenter[i] = entries.names[i] == ticked;

    const std::string out = dir.File("centre-" + ticked + ".prn");
    services.ui.m_printNames.push_back(out);
    CPrinterLink link(port);
    ASSERT_EQ(Upload(link), UploadResult::Completed) << log.Text();
    const Decoded d = Decode(ReadFileBytes(out));
    ASSERT_EQ(d.store->ImageCount(), 3);
    const int tickedHeight = 8 * (ticked[0] - 'a' + 1);
    for (int n = 1; n <= 3; ++n) {
      const sim::NvImage& image = *d.store->Image(n);
      // (512 - 16) / 2 = 248 blank columns in front of the ticked image only.
      EXPECT_EQ(image.WidthDots(), image.HeightDots() == tickedHeight ? 16 + 248 : 16) << n;
    }
    EXPECT_EQ(d.nUnknown, 0u);
    port.m_strPortName = "FILE";
  }
}

// A file that breaks after the check before the upload: empty headers end the define
// command, so the printer stores what it got and takes the next command as a command.
TEST_F(LogoJobSimTest, AFileThatBreaksMidUploadLeavesThePrinterOutOfTheDefineCommand) {
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(list.AddBitmap(Bmp(std::to_string(i) + ".bmp", 16, 8), i));
  SetPort("FILE");
  services.ui.m_printNames.push_back(dir.File("broken.prn"));
  services.ui.m_answers.push_back(true);
  {
    CPrinterLink link(port);
    CUploadJob job(link, list, entries, options, 3, keyCount);
    ASSERT_TRUE(job.Begin());
    CUploadEngine& engine = job.Engine();
    ASSERT_TRUE(engine.Begin());
    engine.WaitForErase();
    EXPECT_EQ(engine.Tick(), UploadStep::Sent);
    WriteFileBytes(dir.File("2.bmp"), "BM damaged");
    EXPECT_EQ(engine.Tick(), UploadStep::Stopped);
    engine.Cancel();
    EXPECT_EQ(job.End(false), UploadResult::Failed);
  }
  const auto texts = services.ui.MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(dir.File("2.bmp")), std::string::npos) << texts[0];
  EXPECT_EQ(Ini(), "");

  // A print command after the upload's bytes is printed, not swallowed as image data.
  const std::string bytes = ReadFileBytes(dir.File("broken.prn")) + std::string("\x1C\x70\x01\x00", 4);
  const Decoded d = Decode(bytes);
  EXPECT_EQ(d.store->Defines(), 1);
  ASSERT_EQ(d.store->ImageCount(), 3);
  EXPECT_EQ(d.store->Image(1)->WidthDots(), 16);
  EXPECT_EQ(d.store->Image(2)->WidthDots(), 0);
  EXPECT_EQ(d.store->Image(3)->WidthDots(), 0);
  EXPECT_EQ(d.store->Prints(), 1);
  EXPECT_EQ(d.nUnknown, 0u);
}

TEST_F(LogoJobSimTest, ParallelStandInGetsTheCheckWithoutInitialise) {
  // "LPT1" in the working directory stands in for the parallel device.
  WriteFileBytes(dir.File("LPT1"), "");
  ASSERT_TRUE(list.AddBitmap(Bmp("one.bmp", 16, 8), 1));
  SetPort("LPT1");
  {
    CPrinterLink link(port);
    ASSERT_EQ(Upload(link), UploadResult::Completed) << log.Text();
  }
  const std::string upload = ReadFileBytes(dir.File("LPT1"));
  EXPECT_EQ(upload.substr(0, 6), std::string("\x1D\x49\x01\x1C\x71\x01", 6));
  EXPECT_EQ(Decode(upload.substr(3)).store->ImageCount(), 1);

  WriteFileBytes(dir.File("LPT1"), "");
  PrintSettings s;
  s.bSelection = true;
  s.strSelection = "1";
  CPrinterLink link(port);
  CPrintJob job(link, s);
  EXPECT_EQ(job.Run(), PrintResult::Printed);
  EXPECT_EQ(ReadFileBytes(dir.File("LPT1")), std::string("\x1D\x49\x01\x1C\x70\x01\x00", 7));
}

// The printer drops the connection part way through the images.
struct VanishCase {
  const char* name;
  bool tcp;
};

class PrinterVanishesTest : public LogoJobSimTest,
                            public ::testing::WithParamInterface<VanishCase> {};

TEST_P(PrinterVanishesTest, EndsWithMessage42AndKeepsTheSection) {
  const std::string before = "[LOGO]\r\nLogofile1=earlier.bmp\r\n";
  WriteFileBytes(dir.File("torvaset.INI"), before);
  keyCount = 1;
  for (int i = 1; i <= 4; ++i) {
    ASSERT_TRUE(list.AddBitmap(Bmp(std::to_string(i) + ".bmp", 512, 240), i));  // 15 KB each
  }
  CPacingClock pacing;
  InstallServices(nullptr, &pacing, nullptr);
  CPrinterSocket socket;
  std::unique_ptr<CPrinterLink> link;
  if (GetParam().tcp) {
    StartSim({"--no-serial", "--tcp-port", "0", "--close-after", "8000"});
    SetPort("ETHERNET_II");
    link = std::make_unique<CPrinterLink>(port, socket, "127.0.0.1", sim.TcpPort());
  } else {
    StartSim({"--close-after", "8000"});
    SetPort(sim.SerialPath());
    link = std::make_unique<CPrinterLink>(port);
  }
  const UploadResult result = Upload(*link);
  InstallServices(nullptr, &services.clock, nullptr);
  EXPECT_EQ(result, UploadResult::Failed);
  const auto texts = services.ui.MessageTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), theMsg[MsgId::CommCannotTransmit]);
  EXPECT_TRUE(std::find(texts.begin(), texts.end(), theMsg[MsgId::NvDefinitionComplete]) ==
              texts.end());
  EXPECT_TRUE(log.Contains("CPrograss writeData[") || log.Contains("CPrograss writeInstruction["))
      << log.Text();
  EXPECT_EQ(Ini(), before);
  EXPECT_EQ(keyCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Lines, PrinterVanishesTest,
                         ::testing::Values(VanishCase{"Serial", false}, VanishCase{"Tcp", true}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace torva::test
