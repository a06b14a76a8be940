// The block to the printer simulator over its serial line and over loopback TCP: the
// simulator's capture is the block built byte by byte and its receipt says the checksum is
// right; its own decoder refuses a damaged block; a simulator that vanishes part way ends
// the transfer with the path's message.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "firmware/fw_download.h"
#include "firmware/fw_sink.h"
#include "fw_test_images.h"
#include "network/printer_socket.h"
#include "sim_firmware.h"
#include "sim_printer.h"
#include "support/fake_services.h"
#include "support/serial_settings.h"
#include "support/sim_process.h"

namespace torva {
namespace {

// Waits (bounded) until the capture holds size bytes.
std::string WaitForCapture(const std::string& path, size_t size) {
  std::string bytes;
  for (int i = 0; i < 200 && bytes.size() < size; ++i) {
    bytes = test::ReadFileBytes(path);
    if (bytes.size() < size) std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return bytes;
}

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 200 && !std::filesystem::exists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return std::filesystem::exists(path);
}

class FirmwareSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(Paper());
    m_image = test::MakeFirmwareImage(777, 1);
    test::WriteFirmwareImage(m_path, m_image);
  }
  std::string Paper() const { return m_dir.File("paper"); }
  std::string Capture() const { return m_dir.File("capture.bin"); }
  bool StartSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--tcp-port", "0",         "--paper-dir",
                                     Paper(),      "--capture", Capture()};
    args.insert(args.end(), extra.begin(), extra.end());
    return m_sim.Start(args);
  }
  test::ScopedFakeServices m_services;
  test::ScopedTempDir m_dir{true};
  std::string m_path = m_dir.File("image.PXR");
  std::vector<uint8_t> m_image;
  test::CSimProcess m_sim;
};

TEST_F(FirmwareSimTest, SerialAndTcpBlocksArriveWholeWithAGoodReceipt) {
  ASSERT_TRUE(StartSim()) << m_sim.Error();
  struct Case {
    bool network;
    FirmwareArea area;
    const char* name;
  };
  size_t total = 0;
  int receipt = 0;
  for (const Case c :
       {Case{false, FirmwareArea::Program, "program"}, Case{true, FirmwareArea::Boot, "boot"}}) {
    SCOPED_TRACE(c.name);
    CPorts port;
    test::SetSerialSettings(port, m_sim.SerialPath(), 1, kFunctionFirmware);
    port.m_nModel = 6;
    CPrinterSocket socket;
    CPortSink portSink(port);
    CSocketSink socketSink(socket, "127.0.0.1", m_sim.TcpPort());
    IFirmwareSink& sink = c.network ? static_cast<IFirmwareSink&>(socketSink) : portSink;
    CFirmwareDownload download(sink);
    m_services.ui.m_answers = {true};
    ASSERT_TRUE(download.Prepare({m_path, c.area, 6, true}));
    download.Start();
    download.Join();
    EXPECT_EQ(download.Outcome(), FwOutcome::Completed);
    const auto expected = test::ReferenceBlock(m_image, c.name, 6);
    total += expected.size();
    const std::string capture = WaitForCapture(Capture(), total);
    ASSERT_EQ(capture.size(), total);
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(),
                   reinterpret_cast<const uint8_t*>(capture.data()) + total - expected.size()));
    char name[32];
    std::snprintf(name, sizeof name, "/firmware-%04d.png", ++receipt);
    EXPECT_TRUE(WaitForFile(Paper() + name));
  }
}

TEST_F(FirmwareSimTest, VanishingSimulatorEndsEachPathWithItsMessage) {
  // Paced, so that the tool is still sending when the simulator goes.
  ASSERT_TRUE(StartSim({"--close-after", "300000", "--fw-baud", "4000000"})) << m_sim.Error();
  struct Case {
    bool network;
    FwOutcome outcome;
    const char* message;
  };
  // Loopback TCP buffers take a whole block before the simulator has read much of it, so
  // only the serial line shows a printer that goes mid-block; the network's failing sends
  // are covered with a failing sink.
  for (const Case c : {Case{false, FwOutcome::PrinterNotReady, "ERROR : PRINTER IS NOT READY!"}}) {
    SCOPED_TRACE(c.message);
    m_services.ui.Clear();
    CPorts port;
    test::SetSerialSettings(port, m_sim.SerialPath(), 1, kFunctionFirmware);
    CPrinterSocket socket;
    CPortSink portSink(port);
    CSocketSink socketSink(socket, "127.0.0.1", m_sim.TcpPort());
    IFirmwareSink& sink = c.network ? static_cast<IFirmwareSink&>(socketSink) : portSink;
    CFirmwareDownload download(sink);
    m_services.ui.m_answers = {true};
    ASSERT_TRUE(download.Prepare({m_path, FirmwareArea::LcdFont, 6, false}));
    download.Start();
    download.Join();
    EXPECT_EQ(download.Outcome(), c.outcome);
    download.ShowOutcome();
    EXPECT_EQ(m_services.ui.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_TRUE(ButtonsAfter(download.Outcome()).bDownload);
  }
  EXPECT_FALSE(std::filesystem::exists(Paper() + "/firmware-0001.png"));
}

TEST(SimFirmwareReceiver, ChecksHeaderSizeChecksumAndBootTailItself) {
  const auto image = test::MakeFirmwareImage(5, 1);
  sim::CSimPrinter printer({});
  auto owned = std::make_unique<sim::CFirmwareBlockCommand>("");
  sim::CFirmwareBlockCommand& receiver = *owned;
  printer.AddCommand(std::move(owned));
  sim::CSimInput input;
  struct Case {
    const char* area;
    int model;
    size_t corrupt;  // a data byte to change; 0: none
    const char* name;
    const char* verdict;
  };
  const Case cases[] = {
      {"program", 6, 0, "Program", "ok"},       {"program", 5, 0, "Program", "ok"},
      {"lcdfont", 6, 0, "LCD font", "ok"},      {"boot", 1, 0, "Boot", "ok"},
      {"extfont", 1, 5000, "Ext. Font", "BAD"}, {"boot", 1, 86015, "Boot", "BAD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.area);
    auto block = test::ReferenceBlock(image, c.area, c.model);
    if (c.corrupt != 0) block[c.corrupt] ^= 0x01;
    // In two pieces, as a line delivers it: nothing is reported before the whole block.
    const std::string before = receiver.LastReport();
    printer.Receive(input, block.data(), 1000);
    EXPECT_EQ(receiver.LastReport(), before);
    printer.Receive(input, block.data() + 1000, block.size() - 1000);
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(block[8] | block[9] << 8));
    EXPECT_EQ(receiver.LastReport(), std::string("firmware area ") + c.name +
                                         " received, checksum " + hex + " " + c.verdict);
  }
  EXPECT_EQ(printer.UnknownBytes(), 0u);
}

}  // namespace
}  // namespace torva
