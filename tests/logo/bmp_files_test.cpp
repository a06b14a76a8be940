// BMP files written by ImageMagick, Pillow and our test writer, in every depth and header
// form the reader accepts: each is converted and compared dot for dot with the plain
// reference run on the pixels the test script decoded (for a run-length file: those of its
// uncompressed twin), and the kind the tools write that we refuse is refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "app/messages.h"
#include "support/fake_services.h"
#include "logo/logo_bitmap.h"
#include "logo/logo_list.h"
#include "reference_converter.h"

namespace torva::test {
namespace {

struct FileCase {
  std::string name, path;
  int width = 0, height = 0, bpp = 0, pal0Blue = 0;
  bool refused = false;
};

// A Python with Pillow: the system one first (Pillow comes from the distribution).
std::string PythonWithPillow() {
  for (const char* py : {"/usr/bin/python3", "python3"}) {
    const std::string cmd = std::string(py) + " -c 'import PIL' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) == 0) return py;
  }
  return {};
}

class BmpFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new ScopedTempDir();
    const std::string py = PythonWithPillow();
    if (py.empty() || std::system("command -v convert >/dev/null 2>&1") != 0) return;
    const std::string cmd = py + " " TORVA_SOURCE_DIR "/tests/logo/make_test_bmps.py " +
                            s_dir->Path() + " >" + s_dir->File("make.log") + " 2>&1";
    if (std::system(cmd.c_str()) != 0) return;
    std::ifstream manifest(s_dir->File("manifest.txt"));
    std::string line;
    while (std::getline(manifest, line)) {
      std::istringstream in(line);
      std::string kind;
      FileCase c;
      in >> kind >> c.name >> c.path;
      c.refused = kind == "refuse";
      if (!c.refused) in >> c.width >> c.height >> c.bpp >> c.pal0Blue;
      s_cases->push_back(c);
    }
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }
  void SetUp() override {
    if (s_cases->empty()) GTEST_SKIP() << "ImageMagick or Pillow is not available";
  }
  static DecodedImage Decoded(const FileCase& c) {
    return DecodedFromRgbi(ReadFileBytes(s_dir->File(c.name + ".rgbi")), c.width, c.height, c.bpp,
                           c.pal0Blue);
  }

  static ScopedTempDir* s_dir;
  static std::vector<FileCase>* s_cases;
};

ScopedTempDir* BmpFiles::s_dir = nullptr;
std::vector<FileCase>* BmpFiles::s_cases = new std::vector<FileCase>();

TEST_F(BmpFiles, EveryDepthMatchesTheReference) {
  std::set<int> depths;
  std::set<std::string> runLength;
  for (const FileCase& c : *s_cases) {
    if (c.refused) continue;
    SCOPED_TRACE(c.name);
    depths.insert(c.bpp);
    if (c.name.find("_rle") != std::string::npos) runLength.insert(c.name);
    const DecodedImage decoded = Decoded(c);
    for (int threshold : {128, 60, 200}) {
      LogoOptions options;
      options.nThreshold = threshold;
      auto b = std::make_unique<CLogoBitmap>(options);
      ASSERT_TRUE(b->Load(c.path)) << BmpStatusText(b->Status());
      ASSERT_TRUE(b->MakeMonoRaster(1));
      const RefRaster mono = RefMono(decoded, threshold);
      ASSERT_EQ(b->m_nDataLength, static_cast<int>(mono.bytes.size()));
      EXPECT_EQ(std::vector<std::uint8_t>(b->m_abRaster, b->m_abRaster + b->m_nDataLength), mono.bytes)
          << "mono, threshold " << threshold;
      ASSERT_TRUE(b->Load(c.path));
      ASSERT_TRUE(b->MakeGrayRaster());
      EXPECT_EQ(std::vector<std::uint8_t>(b->m_abRaster, b->m_abRaster + b->m_nDataLength),
                RefGray(decoded, threshold).bytes)
          << "grey, threshold " << threshold;
    }
  }
  EXPECT_EQ(depths, (std::set<int>{1, 2, 4, 8, 16, 24, 32}));
  EXPECT_EQ(runLength, (std::set<std::string>{"im8_rle", "own4_rle"}));
}

TEST_F(BmpFiles, Os2FilesAreRefused) {
  int refused = 0;
  for (const FileCase& c : *s_cases) {
    if (!c.refused) continue;
    SCOPED_TRACE(c.name);
    ++refused;
    auto b = std::make_unique<CLogoBitmap>(kDefaultOptions);
    EXPECT_FALSE(b->Load(c.path));
    EXPECT_EQ(b->Status(), BmpStatus::Os2Header);

    ScopedFakeServices services;
    LogoEntryLists entries;
    LogoOptions options;
    CLogoList list(entries, options);
    EXPECT_FALSE(list.AddBitmap(c.path, 0));
    EXPECT_EQ(services.ui.MessageTexts(),
              std::vector<std::string>{theMsg[MsgId::BitmapFormatNotSupported]});
    EXPECT_EQ(entries.Count(), 0u);
  }
  EXPECT_EQ(refused, 1);
}

}  // namespace
}  // namespace torva::test
