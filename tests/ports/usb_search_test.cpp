// The USB printer search: passes, pauses through the clock, and what it returns.
#include "ports/usb_search.h"

#include <gtest/gtest.h>

#include <cctype>

#include "support/fake_services.h"

namespace torva::test {
namespace {

struct SearchCase {
  const char* what;
  int foundOnPass;  // 0: never
  int count;        // what the finder reports for the second identifier then
  int expectedResult;
  int expectedPauses;
};

class UsbSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(UsbSearchTest, PausesAfterEveryEmptyPassOnly) {
  const SearchCase& c = GetParam();
  ScopedFakeServices services;
  int pass = 0;
  std::vector<std::string> asked;
  int pausesSeen = 0;
  const int result = SearchUsbPrinter(
      {"A", "B"},
      [&](const std::string& id) {
        asked.push_back(id);
        if (id == "A") ++pass;
        return id == "B" && pass == c.foundOnPass ? c.count : -1;
      },
      [&] { ++pausesSeen; });
  EXPECT_EQ(result, c.expectedResult);
  EXPECT_EQ(pausesSeen, c.expectedPauses);
  EXPECT_EQ(services.clock.Waits(), std::vector<int>(c.expectedPauses, kUsbSearchPauseMs));
  // Every pass asks both identifiers in order, the last one ends at the printer found.
  EXPECT_EQ(asked.size(), 2u * static_cast<size_t>(c.expectedPauses + (c.expectedResult > 0)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsbSearchTest,
    ::testing::Values(SearchCase{"first pass", 1, 1, 1, 0},
                      SearchCase{"third pass, two printers", 3, 2, 2, 2},
                      SearchCase{"last pass", kUsbSearchAttempts, 1, 1, kUsbSearchAttempts - 1},
                      SearchCase{"never", 0, 1, -1, kUsbSearchAttempts}),
    [](const auto& param) {
      std::string name = param.param.what;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

}  // namespace
}  // namespace torva::test
