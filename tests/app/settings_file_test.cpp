#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "app/atomic_file.h"
#include "support/fake_services.h"

namespace torva {
namespace {

using test::ReadFileBytes;
using test::ScopedTempDir;
using test::WriteFileBytes;

class SettingsFileTest : public ::testing::Test {
 protected:
  ScopedTempDir dir;
  std::string path = dir.File("torvaset.INI");
  CSettingsFile ini{path};
};

TEST_F(SettingsFileTest, MissingFileAndKeyReadEmptyAndFirstWriteCreatesIt) {
  EXPECT_EQ(ini.Get("LOGO", "Logofile1"), "");
  EXPECT_EQ(ini.Get("LOGO", "Logofile1", "dflt"), "dflt");
  ASSERT_TRUE(ini.Write("LOGO", "Logofile1", "a.bmp"));
  EXPECT_EQ(ReadFileBytes(path), "[LOGO]\r\nLogofile1=a.bmp\r\n");
}

TEST_F(SettingsFileTest, NamesCompareWithoutCase) {
  WriteFileBytes(path, "[logo]\nLOGOFILE1=x.bmp\n");
  EXPECT_EQ(ini.Get("LOGO", "Logofile1"), "x.bmp");
  ASSERT_TRUE(ini.Write("Logo", "logofile1", "y.bmp"));
  EXPECT_EQ(ini.Get("LOGO", "LogoFile1"), "y.bmp");
  // Replaced in place: still one section and one key.
  EXPECT_EQ(ReadFileBytes(path), "[logo]\r\nLOGOFILE1=y.bmp\r\n");
}

TEST_F(SettingsFileTest, WritingKeepsEverythingElseAsItWas) {
  WriteFileBytes(path,
                 "; dealer notes\r\n[USER]\r\nCodePage0=0|PC437\r\n\r\n[LOGO]\r\nLogofile1=a.bmp\r\n"
                 "\r\n[FWDN20]\r\nFOLDER=/fw\r\n");
  ASSERT_TRUE(ini.Write("LOGO", "Logofile2", "b.bmp"));
  EXPECT_EQ(ReadFileBytes(path),
            "; dealer notes\r\n[USER]\r\nCodePage0=0|PC437\r\n\r\n[LOGO]\r\nLogofile1=a.bmp\r\n"
            "Logofile2=b.bmp\r\n\r\n[FWDN20]\r\nFOLDER=/fw\r\n");
}

TEST_F(SettingsFileTest, RemovingAKeyAndASection) {
  WriteFileBytes(path, "[LOGO]\nLogofile1=a\nLogofile2=b\n[USER]\nR_BUF_SZ0=4K\n");
  ASSERT_TRUE(ini.Write("LOGO", "Logofile2", std::nullopt));
  EXPECT_EQ(ini.Get("LOGO", "Logofile2"), "");
  EXPECT_EQ(ini.Get("LOGO", "Logofile1"), "a");
  ASSERT_TRUE(ini.Write("LOGO", "Logofile1", ""));  // an empty value removes as well
  ASSERT_TRUE(ini.Write("USER", std::nullopt, std::nullopt));
  EXPECT_EQ(ReadFileBytes(path), "[LOGO]\r\n");
}

TEST_F(SettingsFileTest, NumberedKeysStopAtTheFirstEmptyValue) {
  WriteFileBytes(path, "[LOGO]\nLogofile1=one.bmp\nLogofile3=three.bmp\n");
  EXPECT_EQ(ini.ReadNumbered("LOGO", "Logofile%d", 1), std::vector<std::string>{"one.bmp"});
  WriteFileBytes(path, "[USER]\nCodePage0=0|A\nCodePage1=1|B\n");
  EXPECT_EQ(ini.ReadNumbered("USER", "CodePage%d", 0), (std::vector<std::string>{"0|A", "1|B"}));
  // Names without case, every copy of the section, the first value of a key winning.
  WriteFileBytes(path, "[LOGO]\nLOGOFILE1=a\n[USER]\nLogofile2=x\n[logo]\nlogofile2=b\n"
                       "Logofile1=z\nLogofile3=\nLogofile4=d\n");
  EXPECT_EQ(ini.ReadNumbered("Logo", "Logofile%d", 1), (std::vector<std::string>{"a", "b"}));
}

TEST_F(SettingsFileTest, ACrashBeforeTheRenameLeavesTheOldFileIntact) {
  WriteFileBytes(path, "[LOGO]\r\nLogofile1=old.bmp\r\n");
#ifdef _WIN32
  // Up to the replace, the file on disk is the old one whole, with the new one written aside.
  std::string seen;
  SetBeforeRenameHookForTest([&] { seen = ReadFileBytes(path); });
  ASSERT_TRUE(ini.Write("LOGO", "Logofile1", "new.bmp"));
  SetBeforeRenameHookForTest({});
  EXPECT_EQ(seen, "[LOGO]\r\nLogofile1=old.bmp\r\n");
  EXPECT_EQ(ReadFileBytes(path), "[LOGO]\r\nLogofile1=new.bmp\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator{}),
            1);  // no temporary file left beside it
#else
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetBeforeRenameHookForTest([] { _exit(3); });  // dies with the new file written aside
    ini.Write("LOGO", "Logofile1", "new.bmp");
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(ReadFileBytes(path), "[LOGO]\r\nLogofile1=old.bmp\r\n");
  ASSERT_TRUE(ini.Write("LOGO", "Logofile1", "new.bmp"));
#endif
  EXPECT_EQ(ini.Get("LOGO", "Logofile1"), "new.bmp");
}

TEST_F(SettingsFileTest, ReadSectionListsKeysInFileOrder) {
  WriteFileBytes(path, "[PORTLIST]\nPort2=/dev/ttyS1\nPort1=/dev/ttyS0\n[X]\nA=1\n");
  auto keys = ini.ReadSection("portlist");
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].first, "Port2");
  EXPECT_EQ(keys[1].second, "/dev/ttyS0");
}

}  // namespace
}  // namespace torva
