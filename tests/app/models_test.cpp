#include "app/models.h"

#include <gtest/gtest.h>

namespace torva {
namespace {

struct NameCase {
  const char* name;
  int code;
  int family;
};

class ModelNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ModelNameTest, CodeAndFamilyByFirstMatchingPrefix) {
  EXPECT_EQ(ModelCodeFromName(GetParam().name), GetParam().code);
  EXPECT_EQ(ModelFamilyFromName(GetParam().name), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ModelNameTest,
    ::testing::Values(NameCase{"TORVA10S", 2, 2}, NameCase{"TORVA20II-S", 3, 3},
                      NameCase{"TORVA20S", 1, 1}, NameCase{"QMR-5150", 3, 3},
                      NameCase{"QMR-5100", 1, 3}, NameCase{"DLX-2000", 4, 4},
                      NameCase{"TORVA30/35S", 5, 5}, NameCase{"Qir", 5, 5},
                      NameCase{"TORVA40/45U-II", 6, 6}, NameCase{"T40", 1, 4},
                      NameCase{"ZD12", 1, 6}, NameCase{"KV-80", 1, 6},
                      NameCase{"MOR410", 1, 1}, NameCase{"torva40", 1, 0},
                      NameCase{"Unknown", 1, 0}));

TEST(PortKindTest, EndingsInTestOrder) {
  EXPECT_EQ(PortKindFromName("TORVA40/45E-II", 6), PK_ETHERNET);
  EXPECT_EQ(PortKindFromName("TORVA40/45W", 6), PK_WIFI);
  EXPECT_EQ(PortKindFromName("TORVA40/45U-II", 6), PK_USB);
  EXPECT_EQ(PortKindFromName("TORVA10II", 2), PK_NONE);  // the TORVA10 line has no USB search
  EXPECT_EQ(PortKindFromName("TORVA40/45P", 6), PK_LPT);
  EXPECT_EQ(PortKindFromName("TORVA40/45S", 6), PK_COM);
  EXPECT_EQ(PortKindFromName("TORVA40/45U-I", 6), PK_USB_COM);
  EXPECT_EQ(PortKindFromName("TORVA40", 6), PK_NONE);
}

TEST(UsbIdsTest, ModelFiveTriesItsFirstIdentifierTwice) {
  EXPECT_EQ(UsbIdsForModelCode(5),
            (std::vector<std::string>{"USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3002",
                                      "USB\\VID_2F3D&PID_3502", "USB\\VID_2F3D&PID_3A06"}));
  EXPECT_EQ(UsbIdsForModelCode(3), UsbIdsForModelCode(4));
  EXPECT_EQ(UsbIdsForModelCode(6).front(), "USB\\VID_2F3D&PID_3012");
  EXPECT_EQ(UsbIdsForModelCode(1), std::vector<std::string>{"USB\\VID_2F3D&PID_0101"});
  EXPECT_EQ(BuiltInModels().size(), 12u);
}

}  // namespace
}  // namespace torva
