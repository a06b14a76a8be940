// The image checks in their order, the blocks of every area and line against a block built
// byte by byte, the all-FF checksums, and the Boot Area rule.
#include "firmware/fw_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fw_test_images.h"
#include "support/fake_services.h"

namespace torva {
namespace {

using test::MakeFirmwareImage;
using test::ScopedTempDir;

struct FileCase {
  size_t size;
  bool marker;
  ImageCheck check;  // the first check that fails
  const char* text;
  const char* caption;
};

TEST(FirmwareFile, ChecksRunInOrderWithTheirMessages) {
  ScopedTempDir dir;
  const FileCase cases[] = {
      {8388607, true, ImageCheck::WrongSize, "FileSize (8388607 bytes) Error!", "Error"},
      {8388609, true, ImageCheck::WrongSize, "FileSize (8388609 bytes) Error!", "Error"},
      {0, true, ImageCheck::WrongSize, "FileSize (0 bytes) Error!", "Error"},
      {8388608, false, ImageCheck::WrongFile, "Wrong File!", "Error"},
      {8388608, true, ImageCheck::Ok, "", "TORVASet"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + (c.marker ? " marker" : " no marker"));
    const std::string path = dir.File("f.PXR");
    test::WriteFirmwareImage(path, MakeFirmwareImage(7, 3, c.marker, c.size));
    CFirmwareFile file;
    ASSERT_EQ(file.Open(path), ImageCheck::Ok);
    ImageCheck check = file.CheckSize();
    std::optional<CFirmwareImage> image;
    if (check == ImageCheck::Ok) check = file.ReadImage(image);
    EXPECT_EQ(check, c.check);
    EXPECT_EQ(ImageCheckText(check, file.Size()), c.text);
    EXPECT_STREQ(ImageCheckCaption(check), c.caption);
    EXPECT_EQ(image.has_value(), c.check == ImageCheck::Ok);
  }
  CFirmwareFile file;
  EXPECT_EQ(file.Open(""), ImageCheck::OpenFailed);
  EXPECT_EQ(file.Open(dir.File("missing.PXR")), ImageCheck::OpenFailed);
  EXPECT_EQ(file.Open(dir.Path()), ImageCheck::OpenFailed);
  EXPECT_EQ(ImageCheckText(ImageCheck::OpenFailed, 0), "ERROR : File Open");
}

TEST(DownloadBlock, EveryAreaAndLineMatchesTheBlockBuiltByteByByte) {
  const auto bytes = MakeFirmwareImage(12345, 4);
  std::optional<CFirmwareImage> image;
  ASSERT_EQ(CFirmwareImage::FromBytes(bytes, image), ImageCheck::Ok);
  for (int model : {1, 3, 4, 5, 6}) {
    for (FirmwareArea area : {FirmwareArea::Program, FirmwareArea::ExtFont, FirmwareArea::LcdFont,
                              FirmwareArea::Downloader, FirmwareArea::Boot}) {
      SCOPED_TRACE(std::string(AreaName(area)) + " model " + std::to_string(model));
      const DownloadBlock block = DownloadBlock::Build(*image, area, model);
      const auto expected = test::ReferenceBlock(bytes, AreaName(area), model);
      ASSERT_EQ(block.Size(), expected.size());
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), block.Bytes().begin()));
    }
  }
}

TEST(DownloadBlock, ProgramBlockOfEachLineAndAllFfChecksums) {
  const auto ff = MakeFirmwareImage(0, 0xFF);
  std::optional<CFirmwareImage> image;
  ASSERT_EQ(CFirmwareImage::FromBytes(ff, image), ImageCheck::Ok);
  struct Case {
    FirmwareArea area;
    int model;
    uint32_t size;
    uint32_t header;
    const char* checksum;
  };
  const Case cases[] = {
      {FirmwareArea::Program, 5, 622592, 0x30521101, "760A"},
      {FirmwareArea::Program, 6, 851968, 0x30511101, "F60A"},
      {FirmwareArea::Program, 1, 851968, 0x30511101, "F60A"},
      {FirmwareArea::LcdFont, 6, 2097152, 0x30BB1101, "F60A"},
      {FirmwareArea::Boot, 6, 86016, 0x30421101, "A48B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(AreaName(c.area));
    const DownloadBlock block = DownloadBlock::Build(*image, c.area, c.model);
    EXPECT_EQ(block.Size(), c.size);
    EXPECT_EQ(block.Header(), c.header);
    EXPECT_EQ(block.ChecksumText(), c.checksum);
  }
  // Class 5 takes its Program block from 0x300000, class 6 from 0x400000, the others from
  // 0x500000: a byte planted at each start shows up at block offset 10 of one line only.
  auto planted = ff;
  planted[0x300000] = 0x11, planted[0x400000] = 0x22, planted[0x500000] = 0x33;
  ASSERT_EQ(CFirmwareImage::FromBytes(planted, image), ImageCheck::Ok);
  EXPECT_EQ(DownloadBlock::Build(*image, FirmwareArea::Program, 5).Bytes()[10], 0x11);
  EXPECT_EQ(DownloadBlock::Build(*image, FirmwareArea::Program, 6).Bytes()[10], 0x22);
  EXPECT_EQ(DownloadBlock::Build(*image, FirmwareArea::Program, 2).Bytes()[10], 0x33);
  EXPECT_EQ(ChecksumText(0x000A), "A");
}

TEST(BootAreaChoice, FollowsTheBootVersionOnlyInServiceModeWithAMarker) {
  ScopedTempDir dir;
  struct Case {
    uint8_t version;
    bool marker;
    bool service;
    BootChoice choice;
  };
  const Case cases[] = {
      {1, true, true, BootChoice::Enable},     {10, true, true, BootChoice::Enable},
      {0, true, true, BootChoice::Disable},    {11, true, true, BootChoice::Disable},
      {0xFF, true, true, BootChoice::Disable}, {5, false, true, BootChoice::Unchanged},
      {5, true, false, BootChoice::Unchanged}, {0, true, false, BootChoice::Unchanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.version));
    const std::string path = dir.File("b.PXR");
    test::WriteFirmwareImage(path, MakeFirmwareImage(0, c.version, c.marker));
    EXPECT_EQ(UpdateBootAreaChoice(path, c.service), c.choice);
  }
  EXPECT_EQ(UpdateBootAreaChoice(dir.File("none.PXR"), true), BootChoice::Unchanged);
  EXPECT_EQ(UpdateBootAreaChoice("", true), BootChoice::Unchanged);
}

}  // namespace
}  // namespace torva
