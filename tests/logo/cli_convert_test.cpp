// torvaset-cli logo convert as a process: its output bytes against the plain reference,
// the preview picture, and the exit status and message of a refused file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "app/messages.h"
#include "bmp_builder.h"
#include "reference_converter.h"
#include "support/fake_services.h"

namespace torva::test {
namespace {

const std::string kCli = TORVA_BIN_DIR "/torvaset-cli";

class CliConvert : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "torvaset-cli is not built";
    std::mt19937 rng(7);
    image.width = 90;
    image.height = 30;
    for (int i = 0; i < image.width * image.height; ++i) {
      image.rgb.push_back({static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                           static_cast<std::uint8_t>(rng())});
    }
    WriteFileBytes(dir.File("in.bmp"), Build24(image.width, image.height, [&](int x, int y) {
                     const auto& c = image.rgb[static_cast<std::size_t>(y) * image.width + x];
                     return static_cast<std::uint32_t>(c[0] << 16 | c[1] << 8 | c[2]);
                   }));
  }
  int Run(const std::string& args) {
    // Bounded, so that a convert that blocks fails instead of hanging the suite.
    const std::string cmd = "LANG=C LC_ALL= LC_MESSAGES= timeout 20 " + kCli + " logo convert " +
                            args + " >" + dir.File("stdout") + " 2>" + dir.File("stderr");
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string Expected(const std::vector<std::uint8_t>& header, const RefRaster& r) {
    return std::string(header.begin(), header.end()) + std::string(r.bytes.begin(), r.bytes.end());
  }

  ScopedTempDir dir;
  DecodedImage image;
};

TEST_F(CliConvert, MonoCentredOutputIsHeaderAndData) {
  ASSERT_EQ(Run(dir.File("in.bmp") + " --out " + dir.File("out.bin") +
                " --threshold 150 --center --max-width 384 --png " + dir.File("p.png")),
            0)
      << ReadFileBytes(dir.File("stderr"));
  const RefRaster r = RefMono(image, 150, true, 384);
  ASSERT_EQ(r.width8, 96 + 144);  // pad = ((384 - 96) / 2 + 7) / 8 * 8
  const std::uint8_t x = static_cast<std::uint8_t>(r.width8 / 8);
  EXPECT_EQ(ReadFileBytes(dir.File("out.bin")), Expected({x, 0, 4, 0}, r));
  const std::string png = ReadFileBytes(dir.File("p.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\xF0\0\0\0\x20", 8));  // 240 x 32
}

TEST_F(CliConvert, GreyOutput) {
  ASSERT_EQ(Run(dir.File("in.bmp") + " --gray --out " + dir.File("out.bin")), 0);
  EXPECT_EQ(ReadFileBytes(dir.File("out.bin")), Expected({12, 0xA0, 4, 0}, RefGray(image, 128)));
}

TEST_F(CliConvert, RefusedFileAndBadArguments) {
  std::string rle = ReadFileBytes(dir.File("in.bmp"));
  PutLe32(rle, 30, 1);
  WriteFileBytes(dir.File("rle.bmp"), rle);
  EXPECT_EQ(Run(dir.File("rle.bmp") + " --out " + dir.File("o.bin")), 1);
  EXPECT_NE(ReadFileBytes(dir.File("stderr"))
                .find(CMessageTable::English(MsgId::BitmapFormatNotSupported)),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("o.bin")));
  EXPECT_EQ(Run(dir.File("missing.bmp") + " --out " + dir.File("o.bin")), 1);
  EXPECT_EQ(Run(dir.File("in.bmp")), 2);
  EXPECT_EQ(Run(dir.File("in.bmp") + " --out x --threshold 256"), 2);
  EXPECT_EQ(Run(dir.File("in.bmp") + " --out x --max-width 0"), 2);
}

}  // namespace
}  // namespace torva::test

namespace torva::test {
namespace {

// A named pipe without a writer would block an open for reading forever; it and a directory
// are refused as what they are, before anything opens them.
TEST_F(CliConvert, PipeAndDirectoryAreRefusedWithoutOpening) {
  ASSERT_EQ(::mkfifo(dir.File("pipe.bmp").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("folder.bmp"));
  for (const char* name : {"pipe.bmp", "folder.bmp"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Run(dir.File(name) + " --out " + dir.File("o.bin")), 1);
    EXPECT_NE(ReadFileBytes(dir.File("stderr")).find(dir.File(name) + ": not a regular file"),
              std::string::npos)
        << ReadFileBytes(dir.File("stderr"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.bin")));
  }
}

}  // namespace
}  // namespace torva::test
