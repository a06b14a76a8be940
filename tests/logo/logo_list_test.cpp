// The bitmap list: sizes and texts, numbering with free and failed numbers, capacity, the
// file dialog, and the messages at each refusal.
#include <gtest/gtest.h>

#include <set>

#include "app/messages.h"
#include "bmp_builder.h"
#include "support/fake_services.h"
#include "logo/logo_list.h"

namespace torva::test {
namespace {

class LogoListTest : public ::testing::Test {
 protected:
  std::string Bmp(const std::string& name, int w = 8, int h = 8) {
    const std::string path = dir.File(name);
    WriteFileBytes(path, BuildGrey24(w, h, 50));
    return path;
  }
  std::vector<int> Numbers() const {
    std::vector<int> n;
    for (std::size_t i = 0; i < entries.Count(); ++i) n.push_back(list.EntryNumber(i));
    return n;
  }

  ScopedFakeServices services;
  ScopedTempDir dir;
  LogoEntryLists entries;
  LogoOptions options;
  CLogoList list{entries, options};
};

TEST_F(LogoListTest, HundredByFiftyEntrySizes) {
  EXPECT_EQ(CLogoList::RasterSize(100, 50, false), 728);
  EXPECT_EQ(CLogoList::RasterSize(100, 50, true), 2912);
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp", 100, 50), 0));
  EXPECT_EQ(entries.sizes[0], "            728");
  EXPECT_EQ(entries.numbers[0], "  1");
  EXPECT_EQ(entries.names[0], "a.bmp");
  EXPECT_EQ(list.m_strCountText, "  1 / 255");
  EXPECT_EQ(list.m_strSizeText, "  1 / 384 KByte");
  options.bGrayPrint = true;
  ASSERT_TRUE(list.AddBitmap(Bmp("b.bmp", 100, 50), 0));
  EXPECT_EQ(list.EntrySize(1), 2912);
  EXPECT_EQ(list.m_nTotalBytes, 728 + 2912);
}

TEST_F(LogoListTest, UsedKilobytesRoundUp) {
  EXPECT_EQ(CLogoList::SizeText(0, 384), "  0 / 384 KByte");
  EXPECT_EQ(CLogoList::SizeText(1024, 384), "  1 / 384 KByte");
  EXPECT_EQ(CLogoList::SizeText(1025, 384), "  2 / 384 KByte");
  ASSERT_TRUE(list.AddBitmap(Bmp("k.bmp", 128, 64), 0));  // 128 x 8 = 1024 bytes
  EXPECT_EQ(list.m_strSizeText, "  1 / 384 KByte");
  ASSERT_TRUE(list.AddBitmap(Bmp("one.bmp", 1, 1), 0));    // 8 more
  EXPECT_EQ(list.m_strSizeText, "  2 / 384 KByte");
}

TEST_F(LogoListTest, TwoHundredFiftySixthAddRefused) {
  const std::string path = Bmp("s.bmp");
  for (int i = 0; i < 255; ++i) ASSERT_TRUE(list.AddBitmap(path, 0));
  EXPECT_EQ(list.m_strCountText, "255 / 255");
  EXPECT_FALSE(list.AddBitmap(path, 0));
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::CannotReadMoreFiles]});
  EXPECT_EQ(list.m_nImageCount, 255);
  EXPECT_EQ(entries.Count(), 255u);
}

TEST_F(LogoListTest, RemovedNumberIsReused) {
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(list.AddBitmap(Bmp("f" + std::to_string(i) + ".bmp"), 0));
  EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(list.RemoveNumber(3));
  EXPECT_EQ(list.m_nImageCount, 4);
  EXPECT_EQ(list.m_nTotalBytes, 4 * 8);
  ASSERT_TRUE(list.AddBitmap(Bmp("new.bmp"), 0));
  EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 4, 5, 3}));
  EXPECT_EQ(entries.names.back(), "new.bmp");
}

// Numbers released while others are being handed out never come back twice.
TEST_F(LogoListTest, NumbersStayUniqueAcrossRemovals) {
  const std::string path = Bmp("x.bmp");
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(list.AddBitmap(path, 0));
  list.RemoveNumber(3);
  list.RemoveNumber(5);
  ASSERT_TRUE(list.AddBitmap(path, 0));  // takes 3
  list.RemoveNumber(2);
  ASSERT_TRUE(list.AddBitmap(path, 0));  // 2
  ASSERT_TRUE(list.AddBitmap(path, 0));  // 5
  ASSERT_TRUE(list.AddBitmap(path, 0));  // 7
  const std::vector<int> n = Numbers();
  EXPECT_EQ(std::set<int>(n.begin(), n.end()), (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(LogoListTest, RemovingAnUnknownNumberChangesNothing) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp"), 0));
  EXPECT_TRUE(list.RemoveNumber(9));
  EXPECT_EQ(list.m_nImageCount, 1);
  EXPECT_EQ(list.m_strCountText, "  1 / 255");
}

TEST_F(LogoListTest, FailedSettingsEntriesAreReportedOnceAndTheirNumbersReused) {
  ASSERT_TRUE(list.AddBitmap(Bmp("one.bmp"), 1));
  EXPECT_FALSE(list.AddBitmap(dir.File("missing2.bmp"), 2));
  EXPECT_FALSE(list.AddBitmap(dir.File("missing3.bmp"), 3));
  ASSERT_TRUE(list.AddBitmap(Bmp("four.bmp"), 4));
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::LogFileBitmapsIncorrect]});
  EXPECT_EQ(services.ui.Messages()[0].icon, MsgIcon::Warning);
  EXPECT_EQ(Numbers(), (std::vector<int>{1, 4}));

  services.ui.m_files.push_back({Bmp("a.bmp"), Bmp("b.bmp"), Bmp("c.bmp")});
  EXPECT_TRUE(list.BrowseAndAdd());
  EXPECT_EQ(Numbers(), (std::vector<int>{1, 4, 2, 3, 5}));
  EXPECT_EQ(services.ui.FileFilters(), std::vector<std::string>{"Bitmap Files(*.bmp)|*.bmp||"});
  EXPECT_EQ(entries.paths[2], dir.File("a.bmp"));
}

TEST_F(LogoListTest, CapacityRefusals) {
  options.nCapacityKB = 1;
  ASSERT_TRUE(list.AddBitmap(Bmp("big.bmp", 128, 56), 0));  // 896 bytes
  const std::string second = Bmp("more.bmp", 128, 16);      // 256 more: over 1024
  EXPECT_FALSE(list.AddBitmap(second, 0));
  EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{theMsg[MsgId::NvAreaTooSmall]});
  // A settings-file entry that does not fit is a failed entry, reported once.
  services.ui.Clear();
  EXPECT_FALSE(list.AddBitmap(second, 2));
  EXPECT_FALSE(list.AddBitmap(second, 3));
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::LogFileBitmapsIncorrect2]});
  EXPECT_EQ(list.m_nImageCount, 1);
  EXPECT_EQ(list.m_nTotalBytes, 896);
  // After a failure an interactive add that does not fit is still told why, every time.
  for (int attempt = 0; attempt < 2; ++attempt) {
    services.ui.Clear();
    EXPECT_FALSE(list.AddBitmap(second, 0));
    EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{theMsg[MsgId::NvAreaTooSmall]})
        << attempt;
  }
  EXPECT_EQ(list.m_nImageCount, 1);
}

TEST_F(LogoListTest, BrowseAndAddResults) {
  EXPECT_TRUE(list.BrowseAndAdd());  // cancelled
  services.ui.m_files.push_back({""});
  list.m_strLastBrowsedPath = "somewhere";
  EXPECT_FALSE(list.BrowseAndAdd());  // confirmed without a file
  EXPECT_TRUE(list.m_strLastBrowsedPath.empty());
  // Adds stop at the first failure.
  WriteFileBytes(dir.File("bad.bmp"), "BMnot really");
  services.ui.m_files.push_back({Bmp("a.bmp"), dir.File("bad.bmp"), Bmp("c.bmp")});
  EXPECT_TRUE(list.BrowseAndAdd());
  EXPECT_EQ(entries.Count(), 1u);
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::BitmapFormatNotSupported]});
}

TEST_F(LogoListTest, ResetEmptiesEverything) {
  ASSERT_TRUE(list.AddBitmap(Bmp("a.bmp"), 1));
  EXPECT_FALSE(list.AddBitmap(dir.File("none.bmp"), 2));
  list.ResetList();
  EXPECT_EQ(list.m_nImageCount, 0);
  EXPECT_EQ(list.m_nTotalBytes, 0);
  EXPECT_EQ(entries.Count(), 0u);
  EXPECT_EQ(list.m_strCountText, "  0 / 255");
  EXPECT_EQ(list.m_strSizeText, "  0 / 384 KByte");
  // The failure counter starts again: the next failed entry is reported.
  services.ui.Clear();
  EXPECT_FALSE(list.AddBitmap(dir.File("none.bmp"), 1));
  EXPECT_EQ(services.ui.MessageTexts(),
            std::vector<std::string>{theMsg[MsgId::LogFileBitmapsIncorrect]});
  ASSERT_TRUE(list.AddBitmap(Bmp("b.bmp"), 0));
  EXPECT_EQ(Numbers(), std::vector<int>{1});
}

TEST_F(LogoListTest, GreyRasterTooLargeIsRefusedAtAdd) {
  options.bGrayPrint = true;
  EXPECT_FALSE(list.AddBitmap(Bmp("wide.bmp", 512, 640), 0));  // 163840 grey bytes
  ASSERT_EQ(services.ui.MessageTexts().size(), 1u);
  EXPECT_NE(services.ui.MessageTexts()[0].find("512 x 640"), std::string::npos);
  EXPECT_EQ(entries.Count(), 0u);
}

}  // namespace
}  // namespace torva::test
