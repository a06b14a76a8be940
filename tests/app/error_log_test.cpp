#include "app/error_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "support/fake_services.h"

namespace torva {
namespace {

using test::ReadFileBytes;

const char* kStamp = R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\] )";

TEST(ErrorLogTest, EntryFormatWithAPlaceholder) {
  test::ScopedTempDir dir;
  CErrorLog log;
  ASSERT_TRUE(log.OpenLog(dir.File("error.log")));
  log.WriteLog("WriteFile get error result [%d]", 5);
  // Written through at once: readable before the log is closed.
  std::string text = ReadFileBytes(dir.File("error.log"));
  EXPECT_TRUE(std::regex_match(text, std::regex(std::string(kStamp) +
                                                R"(WriteFile get error result \[5\]\r\n)")))
      << text;
}

TEST(ErrorLogTest, SecondStartKeepsOnlyTheSecondRun) {
  test::ScopedTempDir dir;
  {
    CErrorLog first;
    ASSERT_TRUE(first.OpenLog(dir.File("error.log")));
    first.WriteLog("first run");
  }
  test::ScopedFakeServices services;
  CErrorLog second;
  ASSERT_TRUE(second.OpenLog(dir.File("error.log")));
  second.WriteHeader();
  second.WriteLog("CPorts::Open() CloseHandle run\r\n");
  std::string text = ReadFileBytes(dir.File("error.log"));
  EXPECT_EQ(text.find("first run"), std::string::npos);
  EXPECT_TRUE(std::regex_match(
      text, std::regex(std::string(kStamp) + R"(ERROR LOG : Tool - Ver 1\.9\.0\.0\r\n)" + kStamp +
                       R"(CPorts::Open\(\) CloseHandle run\r\n\r\n)")))
      << text;
}

TEST(ErrorLogTest, LongTextIsCutTo255AndNothingIsWrittenWithoutAFile) {
  test::ScopedTempDir dir;
  CErrorLog log;
  log.WriteLog("dropped before the open");
  EXPECT_FALSE(log.IsOpen());
  ASSERT_TRUE(log.OpenLog(dir.File("error.log")));
  log.WriteLog("%s", std::string(300, 'x').c_str());
  std::string text = ReadFileBytes(dir.File("error.log"));
  ASSERT_EQ(text.size(), 22u + 255u + 2u);
  EXPECT_EQ(text.substr(22), std::string(255, 'x') + "\r\n");
}

TEST(ErrorLogTest, UnwritableDirectoryMeansNoLogAndNoFailure) {
  CErrorLog log;
  EXPECT_FALSE(log.OpenLog("/nonexistent-dir/error.log"));
  log.WriteLog("ignored");
}

TEST(ErrorLogTest, EntriesFromTwoThreadsNeverInterleave) {
  test::ScopedTempDir dir;
  CErrorLog log;
  ASSERT_TRUE(log.OpenLog(dir.File("error.log")));
  auto writer = [&log](char c) {
    for (int i = 0; i < 200; ++i) log.WriteLog("%s", std::string(100, c).c_str());
  };
  std::thread a(writer, 'a'), b(writer, 'b');
  a.join();
  b.join();
  std::string text = ReadFileBytes(dir.File("error.log"));
  std::regex line(std::string(kStamp) + "(a{100}|b{100})");
  size_t count = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_TRUE(std::regex_match(text.substr(pos, end - pos), line));
    pos = end + 2;
    ++count;
  }
  EXPECT_EQ(count, 400u);
}

}  // namespace
}  // namespace torva
