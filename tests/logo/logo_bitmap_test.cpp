// The converter against the plain reference: every dot of random pictures in mono and grey
// at several thresholds, and the particular cases of the conversion rules.
#include "logo/logo_bitmap.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "bmp_builder.h"
#include "logo/error_diffusion.h"
#include "reference_converter.h"

namespace torva::test {
namespace {

struct Picture {
  std::string file;
  DecodedImage decoded;
};

// A random 24-bit picture with long runs of extreme values, so that the clamps are hit.
Picture RandomPicture(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  DecodedImage im;
  im.width = w;
  im.height = h;
  for (int i = 0; i < w * h; ++i) {
    const int kind = static_cast<int>(rng() % 8);
    std::array<std::uint8_t, 3> c{};
    for (auto& v : c) {
      v = static_cast<std::uint8_t>(kind == 0   ? 0
                                    : kind == 1 ? 255
                                    : kind == 2 ? 126 + rng() % 3
                                                : rng() % 256);
    }
    im.rgb.push_back(c);
  }
  const std::string file = Build24(w, h, [&](int x, int y) {
    const auto& c = im.rgb[static_cast<std::size_t>(y) * w + x];
    return static_cast<std::uint32_t>(c[0] << 16 | c[1] << 8 | c[2]);
  });
  return {file, im};
}

std::vector<std::uint8_t> RasterOf(const CLogoBitmap& b) {
  return {b.m_abRaster, b.m_abRaster + b.m_nDataLength};
}

struct SizeCase {
  int width, height, threshold;
};

class ConverterMatchesReference : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ConverterMatchesReference, MonoAndGrayDotForDot) {
  const SizeCase c = GetParam();
  const Picture pic =
      RandomPicture(c.width, c.height, static_cast<unsigned>(c.width * 977 + c.height));
  LogoOptions options;
  options.nThreshold = c.threshold;
  auto bitmap = std::make_unique<CLogoBitmap>(options);

  ASSERT_TRUE(bitmap->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(pic.file.data()),
                                     pic.file.size()));
  ASSERT_TRUE(bitmap->MakeMonoRaster(1));
  const RefRaster mono = RefMono(pic.decoded, c.threshold);
  EXPECT_EQ(bitmap->m_nWidth8, mono.width8);
  EXPECT_EQ(bitmap->m_nHeight8, mono.height8);
  EXPECT_EQ(RasterOf(*bitmap), mono.bytes);

  ASSERT_TRUE(bitmap->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(pic.file.data()),
                                     pic.file.size()));
  ASSERT_TRUE(bitmap->MakeGrayRaster());
  EXPECT_EQ(RasterOf(*bitmap), RefGray(pic.decoded, c.threshold).bytes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ConverterMatchesReference,
                         ::testing::Values(SizeCase{1, 1, 128}, SizeCase{8, 8, 128},
                                           SizeCase{9, 2, 128}, SizeCase{3, 17, 200},
                                           SizeCase{16, 5, 0}, SizeCase{33, 31, 255},
                                           SizeCase{100, 50, 128}, SizeCase{64, 64, 60},
                                           SizeCase{512, 40, 170}, SizeCase{21, 130, 128}));

// The diffusion alone, both builds of it, on brightness values that hit the clamps often;
// widths that are not a multiple of 8 take the one-dot-at-a-time path.
TEST(ErrorDiffusion, BothPathsMatchTheReference) {
  std::mt19937 rng(11);
  for (int width : {1, 3, 8, 16, 24, 40, 512}) {
    for (int height : {1, 2, 4, 5, 8, 9, 13}) {
      for (int levels : {1, 5}) {
        std::vector<std::uint8_t> fast(static_cast<std::size_t>(width) * height);
        for (auto& v : fast)
          v = static_cast<std::uint8_t>(rng() % 4 == 0 ? (rng() % 2) * 255 : rng() % 256);
        std::vector<std::uint8_t> plain = fast;
        std::vector<int> expected(fast.begin(), fast.end());
        RefDiffuse(expected, width, height, levels);
        DiffuseErrors(fast.data(), width, height, levels);
        DiffuseErrorsPlain(plain.data(), width, height, levels);
        const std::vector<std::uint8_t> want(expected.begin(), expected.end());
        ASSERT_EQ(fast, want) << width << "x" << height << " L" << levels;
        ASSERT_EQ(plain, want) << width << "x" << height << " L" << levels;
      }
    }
  }
}

TEST(LogoBitmap, HundredByFiftySizes) {
  const std::string file = BuildGrey24(100, 50, 90);
  auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
  ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  EXPECT_EQ(b->m_nWidth8, 104);
  EXPECT_EQ(b->m_nHeight8, 56);
  ASSERT_TRUE(b->MakeMonoRaster(1));
  EXPECT_EQ(b->m_nDataLength, 728);
  ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  ASSERT_TRUE(b->MakeGrayRaster());
  EXPECT_EQ(b->m_nDataLength, 2912);
}

TEST(LogoBitmap, MidGreyAtThreshold128) {
  // 126 is below the step of 127 and prints; 127 stays white.
  for (int grey : {126, 127}) {
    const std::string file = BuildGrey24(8, 8, grey);
    auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
    ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    EXPECT_EQ(b->Luminance(0, 0), grey);
    ASSERT_TRUE(b->MakeMonoRaster(1));
    EXPECT_EQ(b->m_abRaster[0] >> 7, grey == 126 ? 1 : 0) << grey;
  }
}

TEST(LogoBitmap, BrightnessAdjustment) {
  EXPECT_EQ(CLogoBitmap::AdjustBrightness(100, 128), 100);
  EXPECT_EQ(CLogoBitmap::AdjustBrightness(100, 0), 200);
  EXPECT_EQ(CLogoBitmap::AdjustBrightness(200, 0), 255);
  EXPECT_EQ(CLogoBitmap::AdjustBrightness(101, 64), 151);   // 101 x 1.5 = 151.5
  EXPECT_EQ(CLogoBitmap::AdjustBrightness(255, 255), 254);  // 255 x 255 / 128 - 254
  EXPECT_EQ(CLogoBitmap::AdjustBrightness(100, 255), 0);
  for (int t = 0; t < 256; ++t) {
    for (int v = 0; v < 256; ++v) ASSERT_EQ(CLogoBitmap::AdjustBrightness(v, t), RefAdjust(v, t));
  }
}

// 1-bit pictures: the dots follow the colour table's first entry, never the threshold.
TEST(LogoBitmap, OneBitColourTableOrders) {
  for (bool whiteFirst : {true, false}) {
    BmpFields s;
    s.width = 16;
    s.height = 8;
    s.bpp = 1;
    s.palette = whiteFirst ? std::vector<std::array<std::uint8_t, 3>>{{255, 255, 255}, {0, 0, 0}}
                           : std::vector<std::array<std::uint8_t, 3>>{{0, 0, 0}, {255, 255, 255}};
    s.pixel = [](int x, int) { return x < 8 ? 1u : 0u; };  // index 1 on the left half
    const std::string file = BuildBmp(s);
    for (int threshold : {0, 128, 255}) {
      LogoOptions options;
      options.nThreshold = threshold;
      auto b = std::make_unique<CLogoBitmap>(options);
      ASSERT_TRUE(
          b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
      EXPECT_EQ(b->Dot(0, 0), whiteFirst ? 1 : 0);
      EXPECT_EQ(b->Dot(15, 0), whiteFirst ? 0 : 1);
      EXPECT_EQ(b->Dot(16, 0), 0);
      ASSERT_TRUE(b->MakeMonoRaster(1));
      ASSERT_EQ(b->m_nDataLength, 16);
      for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(b->m_abRaster[x], ((x < 8) == whiteFirst) ? 0xFF : 0x00) << x;
      }
    }
  }
}

TEST(LogoBitmap, GrayOneAndFourBitThroughColourTable) {
  for (int bpp : {1, 4}) {
    BmpFields s;
    s.width = 21;
    s.height = 11;
    s.bpp = bpp;
    DecodedImage im;
    im.width = s.width;
    im.height = s.height;
    const int colours = 1 << bpp;
    for (int i = 0; i < colours; ++i) {
      s.palette.push_back({static_cast<std::uint8_t>(i * 255 / (colours - 1)),
                           static_cast<std::uint8_t>(255 - i * 13),
                           static_cast<std::uint8_t>(i * 40)});
    }
    s.pixel = [colours](int x, int y) {
      return static_cast<std::uint32_t>((x * 3 + y * 5) % colours);
    };
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) im.rgb.push_back(s.palette[s.pixel(x, y)]);
    }
    const std::string file = BuildBmp(s);
    auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
    ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    ASSERT_TRUE(b->MakeGrayRaster());
    EXPECT_EQ(RasterOf(*b), RefGray(im, 128).bytes) << bpp;
  }
}

TEST(LogoBitmap, AutoCentreTwoHundredDotsToThreeHundredSixty) {
  const Picture pic = RandomPicture(200, 24, 5);
  LogoOptions options;
  options.abAutoCenter[0] = true;  // first image only
  auto b = std::make_unique<CLogoBitmap>(options);
  ASSERT_TRUE(
      b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(pic.file.data()), pic.file.size()));
  ASSERT_TRUE(b->MakeMonoRaster(1));
  EXPECT_EQ(b->m_nWidth8, 360);
  EXPECT_EQ(b->m_nDataLength, 360 * 3);
  const RefRaster centred = RefMono(pic.decoded, 128, true, 512);
  EXPECT_EQ(centred.width8, 360);
  EXPECT_EQ(RasterOf(*b), centred.bytes);
  for (int i = 0; i < 160 * 3; ++i) ASSERT_EQ(b->m_abRaster[i], 0);

  // The second image has no flag; a grey image is never centred.
  ASSERT_TRUE(
      b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(pic.file.data()), pic.file.size()));
  ASSERT_TRUE(b->MakeMonoRaster(2));
  EXPECT_EQ(b->m_nWidth8, 200);
  ASSERT_TRUE(
      b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(pic.file.data()), pic.file.size()));
  ASSERT_TRUE(b->MakeGrayRaster());
  EXPECT_EQ(b->m_nWidth8, 200);
}

// One converter reused for pictures that grow and shrink, centred and not, mono and grey:
// its buffers are sized to each picture and kept, so nothing of an earlier picture may
// show in a later one.
TEST(LogoBitmap, ReusedConverterGivesWhatAFreshOneGives) {
  struct Step {
    int width, height;
    bool gray, centre;
  };
  const Step steps[] = {{40, 8, false, false},   {512, 288, false, false}, {24, 16, false, true},
                        {512, 576, true, false}, {9, 3, true, false},      {200, 40, false, true},
                        {300, 100, false, false}};
  LogoOptions options;
  options.abAutoCenter[0] = true;
  auto reused = std::make_unique<CLogoBitmap>(options);
  unsigned seed = 11;
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.width) + " x " + std::to_string(step.height));
    const Picture pic = RandomPicture(step.width, step.height, ++seed);
    options.bGrayPrint = step.gray;
    const int position = step.centre ? 1 : 2;
    ASSERT_TRUE(reused->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(pic.file.data()),
                                       pic.file.size()));
    ASSERT_TRUE(step.gray ? reused->MakeGrayRaster() : reused->MakeMonoRaster(position));
    const RefRaster expected =
        step.gray ? RefGray(pic.decoded, 128) : RefMono(pic.decoded, 128, step.centre, 512);
    EXPECT_EQ(reused->m_nWidth8, expected.width8);
    EXPECT_EQ(RasterOf(*reused), expected.bytes);
  }
}

TEST(LogoBitmap, NothingLoadedProducesNothing) {
  auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
  EXPECT_FALSE(b->MakeMonoRaster(1));
  EXPECT_FALSE(b->MakeGrayRaster());
  EXPECT_EQ(b->m_nDataLength, 0);
  EXPECT_EQ(b->Luminance(0, 0), 255);
  // The Make operations release the image: a second one has nothing left.
  const std::string file = BuildGrey24(8, 8, 0);
  ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  ASSERT_TRUE(b->MakeMonoRaster(1));
  EXPECT_FALSE(b->MakeMonoRaster(1));
}

// Rasters that would not fit the output buffer are refused before conversion.
TEST(LogoBitmap, OversizedRastersRefused) {
  {
    // 640000 dots fit the work buffer, but their grey raster needs 320000 bytes.
    const std::string file = BuildGrey24(800, 800, 10);
    auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
    ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    EXPECT_FALSE(b->MakeGrayRaster());
    EXPECT_EQ(b->Status(), BmpStatus::TooLarge);
    EXPECT_EQ(b->m_nDataLength, 0);
    ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    EXPECT_TRUE(b->MakeMonoRaster(1));
    EXPECT_EQ(b->m_nDataLength, 80000);
  }
  {
    // A narrow, very tall image grows past the raster when centred.
    const std::string file = BuildGrey24(8, 80000, 10);
    LogoOptions options;
    options.abAutoCenter[0] = true;
    auto b = std::make_unique<CLogoBitmap>(options);
    ASSERT_TRUE(b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    EXPECT_FALSE(b->MakeMonoRaster(1));
    EXPECT_EQ(b->Status(), BmpStatus::TooLarge);
    EXPECT_EQ(b->m_nDataLength, 0);
  }
  {
    const std::string file = BuildGrey24(801, 800, 10);  // 808 x 800 dots rounded
    auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
    EXPECT_FALSE(
        b->LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    EXPECT_EQ(b->Status(), BmpStatus::TooLarge);
    EXPECT_EQ(b->Width(), 801);
  }
}

}  // namespace
}  // namespace torva::test
