#include "app/messages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/services.h"

namespace torva {
namespace {

TEST(MessagesTest, BothTablesHoldSixtyThreeTexts) {
  for (int i = 0; i < kMessageCount; ++i) {
    EXPECT_GT(std::strlen(CMessageTable::English(i)), 0u) << i;
    EXPECT_GT(std::strlen(CMessageTable::Korean(i)), 0u) << i;
  }
  EXPECT_STREQ(CMessageTable::English(63), "");
  EXPECT_STREQ(CMessageTable::English(-1), "");
  EXPECT_STREQ(CMessageTable::English(0), "Input the output file name!");
  EXPECT_STREQ(CMessageTable::English(62), "Please enter IP address between 1 ~ 254.");
  EXPECT_STREQ(CMessageTable::Korean(62), "아이피를 1~254 사이로 입력하십시오");
  EXPECT_STREQ(CMessageTable::English(41), "m_QueueRead FULL!");
}

TEST(MessagesTest, LanguageFollowsTheIdentifierExactly) {
  CMessageTable table;
  EXPECT_STREQ(table[5], "Baudrate is not selected!");
  table.SelectLanguage(1042);
  EXPECT_STREQ(table[5], "Baudrate를 선택하십시오.");
  table.SelectLanguage(2066);  // Korean of another kind stays English
  EXPECT_STREQ(table[5], "Baudrate is not selected!");
}

TEST(MessagesTest, KoreanOnlyForKoreaFromTheFirstSetLocaleVariable) {
  EXPECT_EQ(LanguageIdFromLocale(nullptr, nullptr, "ko_KR.UTF-8"), 1042);
  EXPECT_EQ(LanguageIdFromLocale("ko_KR", nullptr, nullptr), 1042);
  EXPECT_EQ(LanguageIdFromLocale(nullptr, nullptr, "ko_KP.UTF-8"), 1033);
  EXPECT_EQ(LanguageIdFromLocale(nullptr, nullptr, "ko"), 1033);
  EXPECT_EQ(LanguageIdFromLocale("C.UTF-8", nullptr, "ko_KR.UTF-8"), 1033);
  EXPECT_EQ(LanguageIdFromLocale("", "ko_KR.UTF-8", "en_US.UTF-8"), 1042);
  EXPECT_EQ(LanguageIdFromLocale(nullptr, nullptr, nullptr), 1033);
}

TEST(MessagesTest, EqualWordingKeepsDistinctEntries) {
  for (auto [a, b] : {std::pair{20, 24}, std::pair{34, 59}, std::pair{44, 47}}) {
    EXPECT_STREQ(CMessageTable::English(a), CMessageTable::English(b));
  }
  // Korean tells 34 and 59 apart (five beeps, against two beeps and power-off).
  EXPECT_STRNE(CMessageTable::Korean(34), CMessageTable::Korean(59));
}

TEST(MessagesTest, PlaceholdersAreFilledByTheCaller) {
  EXPECT_EQ(FormatMsg(CMessageTable::English(19), 5), "ERROR[5] - Open port or file.");
  EXPECT_EQ(FormatMsg(CMessageTable::English(51), std::string("a.bmp")),
            "In the Gray Print mode, not support under 8bit color depth bitmap image.\r\n(a.bmp)");
}

}  // namespace
}  // namespace torva
