// The NV bit image command bytes, including the headers of real conversions.
#include <gtest/gtest.h>

#include <memory>

#include "bmp_builder.h"
#include "logo/logo_bitmap.h"
#include "logo/nv_commands.h"
#include "reference_converter.h"

namespace torva::test {
namespace {

using B = NvBytes;

TEST(NvCommands, FixedSequences) {
  EXPECT_EQ(CNvCommands::Initialise(), (B{0x1B, 0x40}));
  EXPECT_EQ(CNvCommands::PrinterCheck(), (B{0x1D, 0x49, 0x01}));
  EXPECT_EQ(CNvCommands::EraseAll(), (B{0x1C, 0x71, 0x01, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(CNvCommands::EmptyHeaders(2), B(8, 0));
  EXPECT_EQ(CNvCommands::EmptyHeaders(0), B{});
}

TEST(NvCommands, StarEmulationPrefixesDefineAndPrintOnly) {
  EXPECT_EQ(CNvCommands::DefineStart(3, false), (B{0x1C, 0x71, 0x03}));
  EXPECT_EQ(CNvCommands::DefineStart(3, true), (B{0x1B, 0x1C, 0x71, 0x03}));
  EXPECT_EQ(CNvCommands::DefineStart(255, false), (B{0x1C, 0x71, 0xFF}));
  EXPECT_EQ(CNvCommands::PrintImage(2, NvPrintMode::DoubleHeight, true), (B{0x1B, 0x1C, 0x70, 0x02, 0x02}));
  EXPECT_EQ(CNvCommands::PrintImage(7, NvPrintMode::Quadruple, false), (B{0x1C, 0x70, 0x07, 0x03}));
}

TEST(NvCommands, ImageHeaders) {
  EXPECT_EQ(CNvCommands::ImageHeader(384, 96, false), (B{0x30, 0x00, 0x0C, 0x00}));
  EXPECT_EQ(CNvCommands::ImageHeader(512, 64, true), (B{0x40, 0xA0, 0x08, 0x00}));
  EXPECT_EQ(CNvCommands::ImageHeader(2048, 8, false), (B{0x00, 0x01, 0x01, 0x00}));
  EXPECT_EQ(CNvCommands::ImageHeader(2048, 2048, true), (B{0x00, 0xA1, 0x00, 0x01}));
}

TEST(NvCommands, HeadersAndLengthsOfConvertedImages) {
  auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
  const std::string mono = BuildGrey24(384, 96, 77);
  ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(mono.data()), mono.size()));
  ASSERT_TRUE(b->MakeMonoRaster(1));
  EXPECT_EQ(CNvCommands::ImageHeader(b->m_nWidth8, b->m_nHeight8, false), (B{0x30, 0x00, 0x0C, 0x00}));
  EXPECT_EQ(b->m_nDataLength, 4608);

  const std::string grey = BuildGrey24(512, 64, 77);
  ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(grey.data()), grey.size()));
  ASSERT_TRUE(b->MakeGrayRaster());
  EXPECT_EQ(CNvCommands::ImageHeader(b->m_nWidth8, b->m_nHeight8, true), (B{0x40, 0xA0, 0x08, 0x00}));
  EXPECT_EQ(b->m_nDataLength, 16384);
}

TEST(NvCommands, DataPieces) {
  EXPECT_EQ(CNvCommands::DataPieces(1300), (std::vector<int>{512, 512, 276}));
  EXPECT_EQ(CNvCommands::DataPieces(1024), (std::vector<int>{512, 512, 0}));
  EXPECT_EQ(CNvCommands::DataPieces(5), (std::vector<int>{5}));
}

TEST(NvCommands, HeaderLineAndNotice) {
  const B line = CNvCommands::HeaderLine(7);
  EXPECT_EQ(std::string(line.begin(), line.end()), "--- Logo 7 ---\n");
  EXPECT_EQ(line.size(), 15u);
  EXPECT_TRUE(CNvCommands::NeedsTorva30Notice(5, 129));
  EXPECT_FALSE(CNvCommands::NeedsTorva30Notice(5, 128));
  EXPECT_FALSE(CNvCommands::NeedsTorva30Notice(6, 300));
  EXPECT_STREQ(CNvCommands::Torva30NoticeText(), "TORVA30/35 NV graphic memory size is 128Kbytes.");
}

}  // namespace
}  // namespace torva::test
