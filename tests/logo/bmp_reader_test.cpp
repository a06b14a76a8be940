// The BMP reader: the layouts it reads, and every kind of file it refuses, through the
// converter and through the list (message shown, list unchanged).
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>

#include "app/messages.h"
#include "bmp_builder.h"
#include "support/fake_services.h"
#include "logo/logo_bitmap.h"
#include "logo/logo_list.h"
#include "reference_converter.h"

namespace torva::test {
namespace {

std::unique_ptr<CLogoBitmap> Loaded(const std::string& file, BmpStatus expect = BmpStatus::Ok) {
  auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
  const bool ok = b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
  EXPECT_EQ(ok, expect == BmpStatus::Ok);
  EXPECT_EQ(b->Status(), expect);
  return b;
}

std::vector<std::array<std::uint8_t, 3>> Palette16() {
  std::vector<std::array<std::uint8_t, 3>> p;
  for (int i = 0; i < 16; ++i) {
    p.push_back({static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 9),
                 static_cast<std::uint8_t>(i * 5)});
  }
  return p;
}

// The longer info headers keep the colour table right behind them.
TEST(BmpReader, ColourTableFollowsLongerHeaders) {
  for (int infoSize : {40, 52, 56, 108, 124}) {
    BmpFields s;
    s.width = 12;
    s.height = 3;
    s.bpp = 4;
    s.infoSize = infoSize;
    s.palette = Palette16();
    s.pixel = [](int x, int y) { return static_cast<std::uint32_t>((x + 4 * y) % 16); };
    auto b = Loaded(BuildBmp(s));
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 12; ++x) {
        const auto& c = s.palette[s.pixel(x, y)];
        ASSERT_EQ(b->Luminance(x, y), RefLuminance(c[0], c[1], c[2])) << infoSize;
      }
    }
  }
}

TEST(BmpReader, BitFieldsAreHonoured) {
  struct Case {
    int bpp, infoSize;
    std::array<std::uint32_t, 3> masks;
    std::uint32_t pixel;
    int r, g, b;
  };
  const Case cases[] = {
      {16, 40, {0xF800, 0x07E0, 0x001F}, 0xFFFF, 248, 252, 248},
      {16, 124, {0xF800, 0x07E0, 0x001F}, 0x07E0, 0, 252, 0},
      {16, 108, {0x7C00, 0x03E0, 0x001F}, 0x7C00, 248, 0, 0},
      {32, 40, {0x0000FF00, 0x00FF0000, 0xFF000000}, 0x11223344, 0x33, 0x22, 0x11},
      {32, 124, {0x00FF0000, 0x0000FF00, 0x000000FF}, 0xFF102030, 0x10, 0x20, 0x30},
      {32, 124, {0xFFFFFFFF, 0x0000FF00, 0x000000FF}, 0xFF000000, 0xFF, 0x00, 0x00},
  };
  for (const Case& c : cases) {
    BmpFields s;
    s.bpp = c.bpp;
    s.infoSize = c.infoSize;
    s.compression = 3;
    s.masks = c.masks;
    s.pixel = [&](int, int) { return c.pixel; };
    auto b = Loaded(BuildBmp(s));
    EXPECT_EQ(b->Luminance(3, 3), RefLuminance(c.r, c.g, c.b)) << c.bpp << "/" << c.infoSize;
  }
  // Without bit fields a 16-bit pixel is 5-5-5, each channel times 8.
  BmpFields s;
  s.bpp = 16;
  s.pixel = [](int, int) { return 0x7FFFu; };
  EXPECT_EQ(Loaded(BuildBmp(s))->Luminance(0, 0), RefLuminance(248, 248, 248));
}

TEST(BmpReader, TopDownRowsGiveTheSameRaster) {
  for (int bpp : {2, 8, 24}) {
    BmpFields s;
    s.width = 19;
    s.height = 13;
    s.bpp = bpp;
    if (bpp <= 8) s.palette = Palette16();
    s.palette.resize(bpp <= 8 ? 1u << bpp : 0);
    s.pixel = [bpp](int x, int y) {
      return bpp == 24 ? static_cast<std::uint32_t>(x * 13 << 16 | y * 19 << 8 | (x * y) % 256)
                       : static_cast<std::uint32_t>((x * 7 + y) % (1 << bpp));
    };
    auto up = Loaded(BuildBmp(s));
    s.topDown = true;
    auto down = Loaded(BuildBmp(s));
    EXPECT_EQ(up->Luminance(0, 0), down->Luminance(0, 0));
    ASSERT_TRUE(up->MakeMonoRaster(1));
    ASSERT_TRUE(down->MakeMonoRaster(1));
    ASSERT_EQ(up->m_nDataLength, down->m_nDataLength);
    EXPECT_EQ(0, std::memcmp(up->m_abRaster, down->m_abRaster, static_cast<std::size_t>(up->m_nDataLength)));
  }
}

TEST(BmpReader, ShortColourTableReadsBlack) {
  BmpFields s;
  s.bpp = 8;
  s.palette = {{255, 255, 255}, {200, 200, 200}};  // two entries only
  s.pixel = [](int x, int) { return static_cast<std::uint32_t>(x); };
  auto b = Loaded(BuildBmp(s));
  EXPECT_EQ(b->Luminance(0, 0), RefLuminance(255, 255, 255));
  EXPECT_EQ(b->Luminance(1, 0), RefLuminance(200, 200, 200));
  EXPECT_EQ(b->Luminance(5, 0), 0);
}

struct RefusedKind {
  const char* name;
  std::function<std::string()> make;
  BmpStatus status;
};

void PrintTo(const RefusedKind& kind, std::ostream* os) { *os << kind.name; }

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

std::vector<std::array<std::uint8_t, 3>> Palette(int bpp) {
  std::vector<std::array<std::uint8_t, 3>> p;
  for (int i = 0; i < (1 << bpp); ++i) {
    p.push_back({static_cast<std::uint8_t>(i * 15), static_cast<std::uint8_t>(255 - i * 7),
                 static_cast<std::uint8_t>(i * 37)});
  }
  return p;
}

// A run-length file of width x height (bottom-up) in bpp 8 or 4 with the given stream.
std::string RunLength(int bpp, int width, int height, const std::string& stream,
                      bool topDown = false) {
  BmpFields s;
  s.bpp = bpp;
  s.width = width;
  s.height = height;
  s.topDown = topDown;
  s.palette = Palette(bpp);
  return BuildRunLength(s, stream);
}

// The 7 x 4 RLE8 stream of the twin test, cut or altered by the refused cases. A row holds
// 8 pixels with its padding (7 x 4-bit rows of 9 pixels hold 16): runs may fill the padding.
// clang-format off
const std::string kRle8Good = Bytes({
    3, 5, 0, 3, 1, 2, 3, 0, 2, 9, 0, 0,  // bottom row: a run, an odd absolute run, a run
                                         // into the padding
    0, 2, 2, 1,                          // delta: the second row stays index 0
    2, 7, 0, 0,                          // third row from x = 2
    0, 7, 10, 11, 12, 13, 14, 15, 16, 0,  // top row: absolute, padded, no end of line
    0, 1});
// clang-format on

std::string Valid24() { return BuildGrey24(8, 8, 100); }

std::string With(std::string f, std::size_t at, std::uint32_t v) {
  PutLe32(f, at, v);
  return f;
}

std::string With16(std::string f, std::size_t at, std::uint16_t v) {
  PutLe16(f, at, v);
  return f;
}

std::string Indexed(int bpp) {
  BmpFields s;
  s.bpp = bpp;
  s.palette.assign(1u << bpp, {0, 0, 0});
  return BuildBmp(s);
}

// clang-format off
const RefusedKind kRefused[] = {
    {"Empty", [] { return std::string(); }, BmpStatus::NotBmp},
    {"NoSignature", [] { std::string f = Valid24(); f[0] = 'X'; return f; }, BmpStatus::NotBmp},
    {"TruncatedHeader", [] { return Valid24().substr(0, 30); }, BmpStatus::Truncated},
    {"TruncatedRows", [] { std::string f = Valid24(); f.resize(f.size() - 10); return f; }, BmpStatus::Truncated},
    {"OffsetPastEnd", [] { std::string f = Valid24(); return With(f, 10, static_cast<std::uint32_t>(f.size() + 100)); }, BmpStatus::BadOffset},
    {"OffsetInsideHeader", [] { return With(Valid24(), 10, 20); }, BmpStatus::BadOffset},
    {"OffsetLeavesRowsShort", [] { return With(Valid24(), 10, 60); }, BmpStatus::Truncated},
    {"ZeroWidth", [] { return With(Valid24(), 18, 0); }, BmpStatus::ZeroSize},
    {"ZeroHeight", [] { return With(Valid24(), 22, 0); }, BmpStatus::ZeroSize},
    {"NegativeWidth", [] { return With(Valid24(), 18, static_cast<std::uint32_t>(-8)); }, BmpStatus::ZeroSize},
    {"Depth3", [] { return With16(Valid24(), 28, 3); }, BmpStatus::BadDepth},
    {"Depth0", [] { return With16(Valid24(), 28, 0); }, BmpStatus::BadDepth},
    {"Depth48", [] { return With16(Valid24(), 28, 48); }, BmpStatus::BadDepth},
    // Uncompressed rows read as run-length data: all ends of line, past the picture.
    {"Rle8OverUncompressedRows", [] { return With(Indexed(8), 30, 1); }, BmpStatus::BadRunLength},
    {"Rle4OverUncompressedRows", [] { return With(Indexed(4), 30, 2); }, BmpStatus::BadRunLength},
    {"Jpeg", [] { return With(Valid24(), 30, 4); }, BmpStatus::Compressed},
    {"BitFieldsOn24", [] { return With(Valid24(), 30, 3); }, BmpStatus::Compressed},
    {"Os2Header", [] { return With(Valid24(), 14, 12); }, BmpStatus::Os2Header},
    {"Os2V2Header", [] { return With(Valid24(), 14, 64); }, BmpStatus::Os2Header},
    {"UnknownHeader", [] { return With(Valid24(), 14, 20); }, BmpStatus::BadHeader},
    {"HugeArea", [] { return With(With(Valid24(), 18, 100000), 22, 100000); }, BmpStatus::TooLarge},
    {"MostNegativeHeight", [] { return With(Valid24(), 22, 0x80000000u); }, BmpStatus::TooLarge},
    {"JustOverWorkBuffer", [] { return With(With(Valid24(), 18, 801), 22, 800); }, BmpStatus::TooLarge},
    {"RleNoEndOfBitmap", [] { return RunLength(8, 7, 4, kRle8Good.substr(0, kRle8Good.size() - 2)); }, BmpStatus::BadRunLength},
    {"RleCutInsideDelta", [] { return RunLength(8, 7, 4, Bytes({0, 2, 1})); }, BmpStatus::BadRunLength},
    {"RleCutInsideAbsolute", [] { return RunLength(8, 7, 4, Bytes({0, 5, 1, 2, 3})); }, BmpStatus::BadRunLength},
    {"RleAbsolutePadMissing", [] { return RunLength(8, 7, 4, Bytes({0, 3, 1, 2, 3})); }, BmpStatus::BadRunLength},
    {"RleEmptyStream", [] { return RunLength(8, 7, 4, ""); }, BmpStatus::BadRunLength},
    {"RleRunPastRowEnd", [] { return RunLength(8, 7, 4, Bytes({9, 1, 0, 1})); }, BmpStatus::BadRunLength},
    {"RleRunAfterFullRow", [] { return RunLength(8, 7, 4, Bytes({8, 1, 1, 1, 0, 1})); }, BmpStatus::BadRunLength},
    {"RleAbsolutePastRowEnd", [] { return RunLength(8, 7, 4, Bytes({0, 9, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1})); }, BmpStatus::BadRunLength},
    {"RleDeltaPastRowEnd", [] { return RunLength(8, 7, 4, Bytes({0, 2, 9, 0, 0, 1})); }, BmpStatus::BadRunLength},
    {"RleDeltaAbovePicture", [] { return RunLength(8, 7, 4, Bytes({0, 2, 0, 5, 0, 1})); }, BmpStatus::BadRunLength},
    {"RleRunAboveLastRow", [] { return RunLength(8, 7, 4, Bytes({0, 2, 0, 4, 1, 1, 0, 1})); }, BmpStatus::BadRunLength},
    {"RleEndOfLineAbovePicture", [] { return RunLength(8, 7, 4, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})); }, BmpStatus::BadRunLength},
    {"Rle4RunPastRowEnd", [] { return RunLength(4, 9, 3, Bytes({17, 0x12, 0, 1})); }, BmpStatus::BadRunLength},
    {"Rle4AbsolutePastRowEnd", [] { return RunLength(4, 9, 3, Bytes({0, 17, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 1})); }, BmpStatus::BadRunLength},
    {"RleTopDown", [] { return RunLength(8, 7, 4, kRle8Good, true); }, BmpStatus::Compressed},
    {"RleOn24Bits", [] { return With(Valid24(), 30, 1); }, BmpStatus::Compressed},
};
// clang-format on

// Hand-encoded run-length files give the same brightness for every pixel and the same dots,
// mono and grey, as uncompressed twins of the same indices: runs (two alternating indices in
// 4 bits), odd absolute runs with their padding, deltas over skipped pixels (index 0), ends
// of line, and a last row closed by end-of-bitmap alone.
TEST(BmpReader, RunLengthFilesMatchTheirUncompressedTwins) {
  struct Case {
    const char* name;
    int bpp, width;
    std::vector<std::vector<int>> rows;  // indices, top row first
    std::string stream;
  };
  // clang-format off
  const Case cases[] = {
      {"rle8", 8, 7,
       {{10, 11, 12, 13, 14, 15, 16}, {0, 0, 7, 7, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}, {5, 5, 5, 1, 2, 3, 9}},
       kRle8Good},
      {"rle4", 4, 9,
       {{1, 2, 3, 4, 5, 0, 12, 13, 12}, {0, 0, 0, 10, 11, 0, 0, 0, 0}, {1, 2, 1, 2, 1, 3, 4, 5, 6}},
       Bytes({5, 0x12, 0, 3, 0x34, 0x50, 1, 0x6F, 0, 0,            // bottom row
              0, 2, 3, 0, 2, 0xAB, 0, 0,                         // delta, a run, end of line
              0, 5, 0x12, 0x34, 0x50, 0, 0, 2, 1, 0, 3, 0xCD,     // odd absolute, delta, run
              0, 1, 0x77, 0x77})},                               // bytes after the end: unread
  };
  // clang-format on;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int height = static_cast<int>(c.rows.size());
    BmpFields twin;
    twin.bpp = c.bpp;
    twin.width = c.width;
    twin.height = height;
    twin.palette = Palette(c.bpp);
    twin.pixel = [&](int x, int y) { return static_cast<std::uint32_t>(c.rows[y][x]); };
    const std::string rle = RunLength(c.bpp, c.width, height, c.stream);
    for (bool gray : {false, true}) {
      LogoOptions options;
      options.bGrayPrint = gray;
      options.nThreshold = 150;
      std::vector<std::vector<std::uint8_t>> rasters;
      for (const std::string& file : {BuildBmp(twin), rle}) {
        auto b = std::make_unique<CLogoBitmap>(options);
        ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()))
            << BmpStatusText(b->Status());
        for (int y = 0; y < height; ++y) {
          for (int x = 0; x < c.width; ++x) {
            const auto& rgb = twin.palette[static_cast<std::size_t>(c.rows[y][x])];
            ASSERT_EQ(b->Luminance(x, y), RefLuminance(rgb[0], rgb[1], rgb[2])) << x << "," << y;
          }
        }
        ASSERT_TRUE(gray ? b->MakeGrayRaster() : b->MakeMonoRaster(1));
        rasters.emplace_back(b->m_abRaster, b->m_abRaster + b->m_nDataLength);
      }
      EXPECT_EQ(rasters[0], rasters[1]) << (gray ? "grey" : "mono");
    }
  }
}

class RefusedFile : public ::testing::TestWithParam<RefusedKind> {};

TEST_P(RefusedFile, ConverterRefuses) {
  Loaded(GetParam().make(), GetParam().status);
}

TEST_P(RefusedFile, ListShowsItsMessageAndStaysUnchanged) {
  ScopedFakeServices services;
  ScopedTempDir dir;
  LogoEntryLists entries;
  LogoOptions options;
  CLogoList list(entries, options);
  WriteFileBytes(dir.File("good.bmp"), Valid24());
  ASSERT_TRUE(list.AddBitmap(dir.File("good.bmp"), 0));
  services.ui.Clear();
  const LogoEntryLists before = entries;
  const std::string countText = list.m_strCountText, sizeText = list.m_strSizeText;

  WriteFileBytes(dir.File("bad.bmp"), GetParam().make());
  EXPECT_FALSE(list.AddBitmap(dir.File("bad.bmp"), 0));
  const auto texts = services.ui.MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  if (GetParam().status == BmpStatus::TooLarge) {
    EXPECT_NE(texts[0].find("too large"), std::string::npos) << texts[0];
  } else {
    EXPECT_EQ(texts[0], theMsg[MsgId::BitmapFormatNotSupported]);
  }
  EXPECT_EQ(list.m_nImageCount, 1);
  EXPECT_EQ(list.m_nTotalBytes, 8);
  EXPECT_EQ(entries.numbers, before.numbers);
  EXPECT_EQ(entries.paths, before.paths);
  EXPECT_EQ(list.m_strCountText, countText);
  EXPECT_EQ(list.m_strSizeText, sizeText);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RefusedFile, ::testing::ValuesIn(kRefused),
                         [](const auto& kind) { return std::string(kind.param.name); });

}  // namespace
}  // namespace torva::test
