// The USER section's lists: the built-in ones written back on first use, the file's own
// read up to the first gap.
#include "setup/setup_lists.h"

#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "support/fake_services.h"

namespace torva::test {
namespace {

TEST(SetupLists, BuiltInListsAreWrittenBackOnce) {
  ScopedTempDir dir;
  const CSettingsFile file(dir.File("torvaset.ini"));
  const auto first = LoadCodePageList(file);
  EXPECT_EQ(first, BuiltInCodePageTexts());
  EXPECT_EQ(file.Get("USER", "CodePage7"), "16|WPC1252 (Windows CP)");
  EXPECT_EQ(file.Get("USER", "CodePage29"), "254|SPACE PAGE");
  EXPECT_EQ(file.Get("USER", "CodePage30"), "");
  EXPECT_EQ(LoadCodePageList(file), BuiltInCodePageFileTexts());

  EXPECT_EQ(LoadReceiveBufferList(file, true), (std::vector<std::string>{"64", "32", "20"}));
  EXPECT_EQ(file.Get("USER", "R_BUF_SZ3"), "4");
  EXPECT_EQ(LoadReceiveBufferList(file, true), (std::vector<std::string>{"64", "32", "20", "4"}));
  const CSettingsFile english(dir.File("english.ini"));
  EXPECT_EQ(LoadReceiveBufferList(english, false),
            (std::vector<std::string>{"64", "32", "20", "4"}));
}

TEST(SetupLists, TheFilesOwnListsEndAtTheFirstGap) {
  ScopedTempDir dir;
  const std::string path = dir.File("torvaset.ini");
  WriteFileBytes(path,
                 "[USER]\r\nCodePage0=0|Mine\r\nCodePage1=7|Other\r\nCodePage3=9|Lost\r\n"
                 "R_BUF_SZ0=16\r\n");
  const CSettingsFile file(path);
  EXPECT_EQ(LoadCodePageList(file), (std::vector<std::string>{"0|Mine", "7|Other"}));
  EXPECT_EQ(LoadReceiveBufferList(file, false), std::vector<std::string>{"16"});
  EXPECT_EQ(file.Get("USER", "CodePage2"), "");
  EXPECT_EQ(file.Get("USER", "R_BUF_SZ1"), "");
}

}  // namespace
}  // namespace torva::test
