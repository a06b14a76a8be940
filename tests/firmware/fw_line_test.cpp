// The block over a real serial line (a pseudo-terminal) through the port object: what the
// printer's end reads is the block built byte by byte, and a printer that vanishes part way
// ends the transfer with its message instead of a hang.
#include <gtest/gtest.h>

#include <future>

#include "firmware/fw_download.h"
#include "firmware/fw_sink.h"
#include "fw_test_images.h"
#include "support/fake_services.h"
#include "support/pty_pair.h"
#include "support/serial_settings.h"

namespace torva {
namespace {

class FirmwareLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_image = test::MakeFirmwareImage(4242, 1);
    test::WriteFirmwareImage(m_path, m_image);
    m_pty.MakeSlaveRaw();
    test::SetSerialSettings(m_port, m_pty.SlavePath(), 1, kFunctionFirmware);
    m_port.m_nModel = 5;
  }
  test::ScopedFakeServices m_services;
  test::ScopedTempDir m_dir{true};
  std::string m_path = m_dir.File("image.PXR");
  std::vector<uint8_t> m_image;
  test::CPtyPair m_pty;
  CPorts m_port;
};

TEST_F(FirmwareLineTest, PrinterEndReadsTheBlockBuiltByteByByte) {
  CPortSink sink(m_port);
  CFirmwareDownload download(sink);
  ASSERT_TRUE(download.Prepare({m_path, FirmwareArea::Program, 5, false}));
  const auto expected = test::ReferenceBlock(m_image, "program", 5);
  auto reader =
      std::async(std::launch::async, [&] { return m_pty.Receive(expected.size(), 20000); });
  download.Start();
  download.Join();
  EXPECT_EQ(download.Outcome(), FwOutcome::Completed);
  EXPECT_TRUE(reader.get() == expected);
  EXPECT_FALSE(m_port.m_bConnected.load());
  EXPECT_EQ(download.FileSizeText(), "622592");
}

TEST_F(FirmwareLineTest, PrinterVanishingPartWayIsNotReadyAndNothingHangs) {
  CPortSink sink(m_port);
  CFirmwareDownload download(sink);
  ASSERT_TRUE(download.Prepare({m_path, FirmwareArea::Program, 5, false}));
  auto reader = std::async(std::launch::async, [&] {
    auto got = m_pty.Receive(100000, 20000);
    m_pty.CloseMaster();
    return got;
  });
  download.Start();
  download.Join();
  EXPECT_GE(reader.get().size(), 100000u);
  EXPECT_EQ(download.Outcome(), FwOutcome::PrinterNotReady);
  EXPECT_LT(download.Sent(), 622592u);
  download.ShowOutcome();
  EXPECT_EQ(m_services.ui.MessageTexts(),
            std::vector<std::string>{"ERROR : PRINTER IS NOT READY!"});
  EXPECT_TRUE(ButtonsAfter(download.Outcome()).bDownload);
}

}  // namespace
}  // namespace torva
