#include "app/models.h"

#include <gtest/gtest.h>

#include <algorithm>

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

namespace torva {
namespace {

// Properties every row must keep, whatever its values: a prefix leads back to its own row,
// the built-in names all reach a port kind, and the lists a search walks are never empty.
TEST(ModelTableTest, RowsAreSelfConsistent) {
  for (const ModelRow& row : kModelTable) {
    SCOPED_TRACE(row.nCode);
    EXPECT_EQ(&ModelRowOf(row.nCode), &row);
    for (const ModelPrefix& prefix : row.prefixes) {
      if (prefix.text == nullptr) break;
      EXPECT_EQ(ModelFamilyFromName(prefix.text), row.nCode) << prefix.text;
      EXPECT_EQ(ModelCodeFromName(prefix.text), prefix.bFamilyOnly ? kModelGeneric : row.nCode)
          << prefix.text;
    }
    EXPECT_FALSE(UsbSearchIdsForFamily(row.nCode).empty());
    EXPECT_FALSE(UsbIdsForModelCode(row.nCode).empty());
    EXPECT_FALSE(UsbSerialIdsForFamily(row.nCode).empty());
    const std::vector<int> rates = BaudRatesForFamily(row.nCode);
    ASSERT_FALSE(rates.empty());
    EXPECT_TRUE(std::is_sorted(rates.rbegin(), rates.rend()));
  }
  for (const std::string& name : BuiltInModels()) {
    EXPECT_TRUE(IsKnownModelName(name)) << name;
    EXPECT_NE(PortKindFromName(name, ModelFamilyFromName(name)), PK_NONE) << name;
  }
  // Codes outside the table behave as code 1, never as a neighbour's line.
  EXPECT_EQ(&ModelRowOf(0), &ModelRowOf(kModelGeneric));
  EXPECT_EQ(&ModelRowOf(99), &ModelRowOf(kModelGeneric));
}

struct LineRuleCase {
  int code;
  bool legacy;
  bool userSetup;
  bool gray;
  int width;
  SetupView view;
};

class LineRuleTest : public ::testing::TestWithParam<LineRuleCase> {};

TEST_P(LineRuleTest, TheRulesAJobAsksFor) {
  const LineRuleCase& c = GetParam();
  EXPECT_EQ(IsLegacyFirmwareModel(c.code), c.legacy);
  EXPECT_EQ(HasUserSetup(c.code), c.userSetup);
  EXPECT_EQ(PrintsGray(c.code), c.gray);
  EXPECT_EQ(PrintableWidth(c.code), c.width);
  EXPECT_EQ(SetupViewOf(c.code), c.view);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineRuleTest,
    ::testing::Values(
        LineRuleCase{kModelGeneric, false, true, true, 512, SetupView::Full},
        LineRuleCase{kModelTorva10, true, false, false, 384, SetupView::Full},
        LineRuleCase{kModelDlx2000, false, true, true, 512, SetupView::ReservedBellUsbSleep},
        LineRuleCase{kModelTorva30, false, true, true, 512, SetupView::NoNewOptions},
        LineRuleCase{kModelTorva40, false, true, true, 512, SetupView::Full}));

}  // namespace
}  // namespace torva
