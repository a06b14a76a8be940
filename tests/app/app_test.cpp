#include "app/app.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fake_services.h"

namespace torva {
namespace {

// The settings file sits in the start directory behind the system's own separator.
const std::string kIni =
    std::string(1, static_cast<char>(std::filesystem::path::preferred_separator)) + "torvaset.INI";

TEST(AppTest, SettingsFileLivesInTheStartDirectoryNamedAfterTheExecutable) {
  test::ScopedFakeServices services;
  test::ScopedTempDir dir;
  services.system.m_strStartDir = dir.Path();
  CTorvaToolApp app;
  bool ran = false;
  EXPECT_FALSE(app.Start("/usr/local/bin/torvaset", [&] {
    ran = true;
    return true;
  }));
  EXPECT_TRUE(ran);
  EXPECT_EQ(app.m_strProfilePath, dir.Path() + kIni);
  EXPECT_EQ(std::string(app.m_szStartDir), dir.Path());
  ASSERT_TRUE(app.Settings().Write("LOGO", "Logofile1", "a.bmp"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("torvaset.INI")), "[LOGO]\r\nLogofile1=a.bmp\r\n");
}

TEST(AppTest, CancelledMainDialogClosesAConnectedPort) {
  test::ScopedFakeServices services;
  CTorvaToolApp app;
  int closes = 0;
  app.Start("torvaset", [] { return false; }, [&] { ++closes; });
  EXPECT_EQ(closes, 1);
  app.Start("torvaset", [] { return true; }, [&] { ++closes; });
  EXPECT_EQ(closes, 1);
}

TEST(AppTest, UnreadableStartDirectoryGoesOnWithAnEmptyOne) {
  test::ScopedFakeServices services;
  services.system.m_strStartDir = "";
  CTorvaToolApp app;
  testing::internal::CaptureStderr();
  app.InitPaths("torvaset");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "_getcwd error\n");
  EXPECT_EQ(app.m_strProfilePath, kIni);
}

}  // namespace
}  // namespace torva

namespace torva {
namespace {

// A start directory that does not fit is refused as a whole: the dialog never runs and no
// settings path is made from a cut-off directory.
TEST(AppTest, StartDirectoryTooLongFailsClearly) {
  test::ScopedFakeServices services;
  CTorvaToolApp app;
  for (const size_t length : {sizeof app.m_szStartDir - 1, sizeof app.m_szStartDir}) {
    services.system.m_strStartDir = "/" + std::string(length - 1, 'd');
    services.ui.Clear();
    bool ran = false;
    app.Start("torvaset", [&] { return ran = true; });
    const bool fits = length < sizeof app.m_szStartDir;
    EXPECT_EQ(ran, fits) << length;
    if (fits) {
      EXPECT_EQ(app.m_strProfilePath, services.system.m_strStartDir + kIni);
      EXPECT_TRUE(services.ui.Messages().empty());
    } else {
      EXPECT_TRUE(app.m_strProfilePath.empty());
      ASSERT_EQ(services.ui.Messages().size(), 1u);
      EXPECT_EQ(services.ui.Messages()[0].text,
                "The start directory is longer than 255 characters: " +
                    services.system.m_strStartDir);
      EXPECT_EQ(services.ui.Messages()[0].icon, MsgIcon::Error);
    }
  }
}

}  // namespace
}  // namespace torva
