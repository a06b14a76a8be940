// The selection texts of the print page: which are refused, and what the accepted ones print.
#include <gtest/gtest.h>

#include "logo/print_range.h"

namespace torva {
namespace {

struct RangeCase {
  const char* text;
  bool valid;
  std::vector<int> prints;  // the numbers printed, in order
  RangeList list;           // the RangeList entries (checked when not empty)
};

class PrintRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PrintRangeTest, ParsesAsTheUserMeantOrRefuses) {
  const RangeCase& c = GetParam();
  EXPECT_EQ(ValidatePrintRange(c.text), c.valid);
  RangeList list{"99"};  // what was there before: kept, and kept alone on refusal
  int total = -1;
  ASSERT_EQ(ParsePrintRange(c.text, list, total), c.valid);
  if (!c.valid) {
    EXPECT_EQ(list, RangeList{"99"});
    EXPECT_EQ(total, -1);
    return;
  }
  list.erase(list.begin());
  EXPECT_EQ(total, static_cast<int>(c.prints.size()));
  EXPECT_EQ(ExpandRangeList(list), c.prints);
  if (!c.list.empty()) {
    EXPECT_EQ(list, c.list);
  }
}

std::vector<int> Span(int a, int b) {
  std::vector<int> v;
  for (int n = a; n <= b; ++n) v.push_back(n);
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Selections, PrintRangeTest,
    ::testing::Values(
        RangeCase{"1-3,7", true, {1, 2, 3, 7}, {"1", "3", "263"}},
        RangeCase{"250-", true, Span(250, 255), {"250", "255"}},
        RangeCase{"-2", true, {1, 2}, {"1", "2"}},
        RangeCase{"5-3", true, {3, 4, 5}, {"3", "5"}},
        RangeCase{",3,", true, {3}, {"259"}},
        RangeCase{"2,2", true, {2, 2}, {"258", "258"}},
        RangeCase{"255", true, {255}, {"511"}},
        RangeCase{"1", true, {1}, {"257"}},
        RangeCase{"-", true, Span(1, 255), {"1", "255"}},
        RangeCase{"007", true, {7}, {"263"}},
        RangeCase{"3-3", true, {3}, {"3", "3"}},
        RangeCase{"0", false, {}, {}},
        RangeCase{"256", false, {}, {}},
        RangeCase{"1,,2", false, {}, {}},
        RangeCase{"1--2", false, {}, {}},
        RangeCase{"a", false, {}, {}},
        RangeCase{"", false, {}, {}},
        RangeCase{",", false, {}, {}},
        RangeCase{"1 2", false, {}, {}},
        RangeCase{"0-5", false, {}, {}},
        RangeCase{"5-256", false, {}, {}},
        RangeCase{"99999999999999999999", false, {}, {}},
        RangeCase{"1-2-300", false, {}, {}}));

}  // namespace
}  // namespace torva
