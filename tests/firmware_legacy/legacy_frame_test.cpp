// Frames of the TORVA10 downloader, decoded here byte by byte from what BuildNextFrame gives.
#include "firmware/legacy_frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/legacy_area.h"
#include "support/fake_services.h"

namespace torva {
namespace {

uint32_t Big32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// An image whose byte at offset i is (i * 7 + i / 512) & 0xFF, so a frame read from the
// wrong offset shows.
std::string PatternImage(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + i / 512) & 0xFF);
  return s;
}

TEST(LegacyFrame, ChecksumIsTheLowSixteenBitsHighByteFirst) {
  LegacyFrame f;
  for (const auto& [fill, hi, lo] : std::vector<std::tuple<uint8_t, uint8_t, uint8_t>>{
           {0x00, 0x00, 0x00}, {0xFF, 0xFE, 0x00}, {0x80, 0x00, 0x00}, {0x01, 0x02, 0x00}}) {
    f.StartData(false, 0x1D0000, 512);
    std::fill(f.DataPart(), f.DataPart() + 512, fill);
    f.StoreChecksum();
    ASSERT_EQ(f.Length(), 522);
    EXPECT_EQ(f.Bytes()[520], hi) << int(fill);
    EXPECT_EQ(f.Bytes()[521], lo) << int(fill);
  }
}

// Every area: the frames cover it without gap from its start, carry the file's bytes at their
// address, all 512 long, 40 F0 but for the last, which is 40 F1.
TEST(LegacyFrame, AreasSplitIntoSequentialFullFrames) {
  test::ScopedTempDir dir;
  const std::string image = PatternImage(0x200000);
  test::WriteFileBytes(dir.File("flash.bin"), image);
  struct Case {
    int nArea;
    uint32_t nStart;
    int nFrames;
  };
  for (const Case c :
       {Case{kLegacyAreaProgram, 0x1D0000, 256}, Case{kLegacyAreaBoot, 0x1F0000, 128},
        Case{kLegacyAreaFont, 0x190000, 256}}) {
    SCOPED_TRACE(c.nArea);
    CLegacyFrameSource source;
    ASSERT_TRUE(source.Open(dir.File("flash.bin"), *LegacyAreaOf(c.nArea)));
    LegacyFrame f;
    int frames = 0;
    uint32_t expected = c.nStart;
    while (!source.AtEnd()) {
      source.BuildNextFrame(f);
      ++frames;
      const uint8_t* b = f.Bytes();
      ASSERT_EQ(f.Length(), 522);
      EXPECT_EQ(b[0], 0x40);
      EXPECT_EQ(b[1], source.AtEnd() ? 0xF1 : 0xF0) << frames;
      EXPECT_EQ(b[2], 0x02);
      EXPECT_EQ(b[3], 0x00);
      ASSERT_EQ(Big32(b + 4), expected);
      ASSERT_EQ(std::string(reinterpret_cast<const char*>(b + 8), 512),
                image.substr(expected, 512));
      const uint16_t sum = LegacyFrame::ChecksumOf(b + 8, 512);
      EXPECT_EQ(b[520], sum >> 8);
      EXPECT_EQ(b[521], sum & 0xFF);
      expected += 512;
    }
    EXPECT_EQ(frames, c.nFrames);
    EXPECT_EQ(source.Address(), LegacyAreaOf(c.nArea)->nEnd);
  }
  // The Program area's first frame as the printer sees it begins 40 F0 02 00 00 1D 00 00.
  CLegacyFrameSource program;
  ASSERT_TRUE(program.Open(dir.File("flash.bin"), *LegacyAreaOf(kLegacyAreaProgram)));
  LegacyFrame first;
  program.BuildNextFrame(first);
  EXPECT_EQ(std::vector<uint8_t>(first.Bytes(), first.Bytes() + 8),
            (std::vector<uint8_t>{0x40, 0xF0, 0x02, 0x00, 0x00, 0x1D, 0x00, 0x00}));
}

// A file that ends inside the area (or before it) still gives full frames, FF past its end.
TEST(LegacyFrame, ShortFileIsPaddedWithErasedFlash) {
  test::ScopedTempDir dir;
  const LegacyAreaInfo& boot = *LegacyAreaOf(kLegacyAreaBoot);
  for (const size_t size : {size_t{0x1F0000 + 700}, size_t{0x1F0000}, size_t{1000}}) {
    SCOPED_TRACE(size);
    const std::string image = PatternImage(size);
    test::WriteFileBytes(dir.File("short.bin"), image);
    CLegacyFrameSource source;
    ASSERT_TRUE(source.Open(dir.File("short.bin"), boot));
    std::string got;
    LegacyFrame f;
    int frames = 0;
    while (!source.AtEnd()) {
      source.BuildNextFrame(f);
      ASSERT_EQ(f.Length(), 522);
      got.append(reinterpret_cast<const char*>(f.DataPart()), 512);
      EXPECT_EQ((f.Bytes()[520] << 8) | f.Bytes()[521], LegacyFrame::ChecksumOf(f.DataPart(), 512));
      ++frames;
    }
    EXPECT_EQ(frames, 128);
    std::string want = size > boot.nStart ? image.substr(boot.nStart) : std::string();
    want.resize(boot.nEnd - boot.nStart, '\xFF');
    EXPECT_EQ(got, want);
  }
  CLegacyFrameSource missing;
  EXPECT_FALSE(missing.Open(dir.File("none.bin"), boot));
}

}  // namespace
}  // namespace torva
