// The simulator's NV memory: define commands taken whole or refused, prints onto paper
// files, and the paper's PNG read back through its stored deflate blocks.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim_nv_store.h"
#include "sim_paper.h"
#include "support/fake_services.h"

namespace torva::sim {
namespace {

using Bytes = std::vector<uint8_t>;

class NvStoreTest : public ::testing::Test {
 protected:
  NvStoreTest() { RegisterNvCommands(printer, store); }
  void Feed(const Bytes& b) { printer.Receive(input, b.data(), b.size()); }

  test::ScopedTempDir dir;
  CNvStore store{dir.Path()};
  CSimPrinter printer{SimPrinterOptions{}};
  CSimInput input;
};

// The pixels of a PNG written by CPaper (8-bit grey, filter 0, stored blocks).
std::vector<uint8_t> PngPixels(const std::string& png, int& width, int& height) {
  auto be32 = [&](size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(png[at + i]);
    return v;
  };
  width = static_cast<int>(be32(16));
  height = static_cast<int>(be32(20));
  const size_t idat = png.find("IDAT");
  size_t pos = idat + 4 + 2;  // past the zlib header
  std::vector<uint8_t> raw;
  for (;;) {
    const bool final = png[pos] & 1;
    const size_t n = static_cast<uint8_t>(png[pos + 1]) | static_cast<uint8_t>(png[pos + 2]) << 8;
    raw.insert(raw.end(), png.begin() + static_cast<std::ptrdiff_t>(pos + 5),
               png.begin() + static_cast<std::ptrdiff_t>(pos + 5 + n));
    pos += 5 + n;
    if (final) break;
  }
  std::vector<uint8_t> pixels;
  for (int y = 0; y < height; ++y) {
    const auto row = raw.begin() + static_cast<std::ptrdiff_t>(y) * (width + 1) + 1;
    pixels.insert(pixels.end(), row, row + width);
  }
  return pixels;
}

TEST_F(NvStoreTest, DefineArrivingInPiecesIsTakenWhenComplete) {
  Bytes define{0x1C, 0x71, 0x02, 0x01, 0x00, 0x01, 0x00};
  define.insert(define.end(), 8, 0xFF);
  define.insert(define.end(), {0x01, 0xA0, 0x01, 0x00});  // grey 8 x 8: 32 bytes
  define.insert(define.end(), 32, 0x50);
  Feed(Bytes(define.begin(), define.begin() + 10));
  EXPECT_EQ(store.Defines(), 0);
  Feed(Bytes(define.begin() + 10, define.end()));
  ASSERT_EQ(store.ImageCount(), 2);
  EXPECT_FALSE(store.Image(1)->bGray);
  EXPECT_TRUE(store.Image(2)->bGray);
  EXPECT_EQ(store.Image(2)->Ink(0, 0), 255);  // level 5
  EXPECT_EQ(store.Image(2)->Ink(1, 0), 0);    // level 0
  EXPECT_EQ(printer.UnknownBytes(), 0u);
}

TEST_F(NvStoreTest, StarPrefixAndEraseReplaceTheMemory) {
  Bytes define{0x1B, 0x1C, 0x71, 0x01, 0x01, 0x00, 0x01, 0x00};
  define.insert(define.end(), 8, 0x0F);
  Feed(define);
  ASSERT_EQ(store.ImageCount(), 1);
  Feed({0x1C, 0x71, 0x01, 0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(store.Defines(), 2);
  ASSERT_EQ(store.ImageCount(), 1);
  EXPECT_TRUE(store.Image(1)->data.empty());
}

TEST_F(NvStoreTest, OutOfRangeDefinesAreRefusedAndChangeNothing) {
  Bytes define{0x1C, 0x71, 0x01, 0x01, 0x00, 0x01, 0x00};
  define.insert(define.end(), 8, 0xFF);
  Feed(define);
  Feed({0x1C, 0x71, 0x00});                            // no images
  Feed({0x1C, 0x71, 0x01, 0x00, 0x04, 0x01, 0x00});    // x = 1024
  Feed({0x1C, 0x71, 0x01, 0x40, 0x00, 0x00, 0x02});    // 64 x 512 units: too much
  EXPECT_EQ(store.RefusedDefines(), 3);
  EXPECT_EQ(store.Defines(), 1);
  EXPECT_EQ(store.Image(1)->data, Bytes(8, 0xFF));
}

TEST_F(NvStoreTest, PrintDrawsTheHeaderLineAboveTheImageAtItsSize) {
  Bytes define{0x1C, 0x71, 0x01, 0x01, 0x00, 0x01, 0x00};
  define.insert(define.end(), {0x80, 0, 0, 0, 0, 0, 0, 0});  // one dot at the top left
  Feed(define);
  const std::string header = "--- Logo 1 ---\n";
  Feed(Bytes(header.begin(), header.end()));
  Feed({0x1C, 0x70, 0x01, 0x03});
  ASSERT_EQ(store.Prints(), 1);
  int w = 0, h = 0;
  const auto px = PngPixels(test::ReadFileBytes(store.LastPaper()), w, h);
  EXPECT_EQ(w, CPaper::kMinWidth);
  EXPECT_EQ(h, 24 + 16 + 20);
  const int top = 24;
  EXPECT_EQ(px[static_cast<size_t>(top) * w + 0], 0);          // the dot, twice its size
  EXPECT_EQ(px[static_cast<size_t>(top + 1) * w + 1], 0);
  EXPECT_EQ(px[static_cast<size_t>(top + 2) * w + 2], 255);
  int ink = 0;
  for (int i = 0; i < top * w; ++i) ink += px[static_cast<size_t>(i)] == 0;
  EXPECT_GT(ink, 50);  // the header text
  // A number without an image and without text leaves no paper.
  Feed({0x1C, 0x70, 0x09, 0x00});
  EXPECT_EQ(store.Prints(), 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace torva::sim
