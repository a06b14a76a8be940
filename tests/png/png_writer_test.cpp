// The shared PNG writer: the file is read back chunk by chunk (lengths, the known CRC of
// IEND, the stored deflate blocks and their Adler-32), and the pixels come back unchanged.
#include "png/png_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_services.h"

namespace torva::png {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Be32(const Bytes& b, size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
         std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

struct Decoded {
  int width = 0;
  int height = 0;
  Bytes pixels;
  int blocks = 0;
};

// Reads the chunks; every failure is a test failure.
Decoded Decode(const Bytes& file) {
  Decoded d;
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), signature);
  size_t at = 8;
  Bytes idat;
  std::string order;
  while (at + 12 <= file.size()) {
    const std::uint32_t length = Be32(file, at);
    const std::string type(file.begin() + static_cast<long>(at) + 4,
                           file.begin() + static_cast<long>(at) + 8);
    order += type + " ";
    const Bytes body(file.begin() + static_cast<long>(at) + 8,
                     file.begin() + static_cast<long>(at + 8 + length));
    if (type == "IHDR") {
      d.width = static_cast<int>(Be32(body, 0));
      d.height = static_cast<int>(Be32(body, 4));
      EXPECT_EQ(Bytes(body.begin() + 8, body.end()), (Bytes{8, 0, 0, 0, 0}));
    }
    if (type == "IDAT") idat = body;
    if (type == "IEND") {
      EXPECT_EQ(Be32(file, at + 8), 0xAE426082u);
    }
    at += 12 + length;
  }
  EXPECT_EQ(at, file.size());
  EXPECT_EQ(order, "IHDR IDAT IEND ");
  EXPECT_EQ(Bytes(idat.begin(), idat.begin() + 2), (Bytes{0x78, 0x01}));
  Bytes raw;
  size_t pos = 2;
  bool last = false;
  while (!last) {
    last = idat[pos] == 1;
    const size_t n = idat[pos + 1] | idat[pos + 2] << 8;
    EXPECT_EQ(n ^ 0xFFFFu, static_cast<size_t>(idat[pos + 3] | idat[pos + 4] << 8));
    raw.insert(raw.end(), idat.begin() + static_cast<long>(pos) + 5,
               idat.begin() + static_cast<long>(pos + 5 + n));
    pos += 5 + n;
    ++d.blocks;
  }
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(Be32(idat, pos), b << 16 | a);
  EXPECT_EQ(pos + 4, idat.size());
  for (int y = 0; y < d.height; ++y) {
    const size_t row = static_cast<size_t>(y) * (static_cast<size_t>(d.width) + 1);
    EXPECT_EQ(raw[row], 0);  // filter byte
    d.pixels.insert(d.pixels.end(), raw.begin() + static_cast<long>(row) + 1,
                    raw.begin() + static_cast<long>(row) + 1 + d.width);
  }
  return d;
}

struct SizeCase {
  int width;
  int height;
  int blocks;
};

class PngWriterTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PngWriterTest, RoundTripsThePixels) {
  const SizeCase& c = GetParam();
  Bytes pixels(static_cast<size_t>(c.width) * static_cast<size_t>(c.height));
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
  const Decoded d = Decode(EncodeGrey(c.width, c.height, pixels));
  EXPECT_EQ(d.width, c.width);
  EXPECT_EQ(d.height, c.height);
  EXPECT_EQ(d.blocks, c.blocks);
  EXPECT_EQ(d.pixels, pixels);
}

// One row of 65534 dots plus its filter byte fills a stored block exactly; one more dot
// needs a second block.
INSTANTIATE_TEST_SUITE_P(Sizes, PngWriterTest,
                         ::testing::Values(SizeCase{1, 1, 1}, SizeCase{8, 3, 1},
                                           SizeCase{65534, 1, 1}, SizeCase{65535, 1, 2},
                                           SizeCase{512, 300, 3}, SizeCase{0, 0, 1}));

TEST(PngWriterFileTest, WritesTheEncodedBytesAndRefusesAShortPicture) {
  test::ScopedTempDir dir;
  const Bytes pixels = {0, 255, 128, 7};
  ASSERT_TRUE(WriteGrey(dir.File("a.png"), 2, 2, pixels));
  const std::string file = test::ReadFileBytes(dir.File("a.png"));
  const Bytes expected = EncodeGrey(2, 2, pixels);
  EXPECT_EQ(Bytes(file.begin(), file.end()), expected);
  EXPECT_FALSE(WriteGrey(dir.File("b.png"), 3, 2, pixels));
  EXPECT_FALSE(WriteGrey(dir.File("missing/c.png"), 2, 2, pixels));
}

}  // namespace
}  // namespace torva::png
