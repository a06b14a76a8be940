#include "network/wifi_library.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/fake_services.h"

namespace torva {
namespace {

using test::ReadFileBytes;
using test::ScopedTempDir;

class WifiLibraryTest : public testing::Test {
 protected:
  void SetUp() override { setenv("TORVA_WIFI_STANDIN_LOG", m_dir.File("calls.txt").c_str(), 1); }
  void TearDown() override { unsetenv("TORVA_WIFI_STANDIN_LOG"); }
  ScopedTempDir m_dir;
};

TEST_F(WifiLibraryTest, OperationsCallTheirEntryPointsWithTheParent) {
  CWifiLibrary library({TORVA_WIFI_STANDIN_DIR});
  std::string error;
  int parent = 0;
  ASSERT_TRUE(library.Run(CWifiLibrary::kInfrastructure, &parent, error)) << error;
  ASSERT_TRUE(library.Run(CWifiLibrary::kLimitedAp, nullptr, error)) << error;
  EXPECT_EQ(library.LoadedFrom(), std::string(TORVA_WIFI_STANDIN_DIR) + "/libtorva_wifi.so");

  char expected[64];
  std::snprintf(expected, sizeof expected, "op1 %p\nop3 %p\n", static_cast<void*>(&parent),
                static_cast<void*>(nullptr));
  EXPECT_EQ(ReadFileBytes(m_dir.File("calls.txt")), expected);
}

TEST_F(WifiLibraryTest, AbsentLibraryIsAClearFailureAndCallsNothing) {
  ScopedTempDir empty;
  CWifiLibrary library({empty.Path()});
  std::string error;
  EXPECT_FALSE(library.Run(CWifiLibrary::kLimitedAp, nullptr, error));
  EXPECT_NE(error.find("libtorva_wifi.so"), std::string::npos) << error;
  EXPECT_TRUE(library.LoadedFrom().empty());
  EXPECT_EQ(ReadFileBytes(m_dir.File("calls.txt")), "");
}

TEST_F(WifiLibraryTest, OnlyOperationsOneAndThreeExist) {
  EXPECT_STREQ(CWifiLibrary::EntryPoint(1), "torva_wifi_op1");
  EXPECT_STREQ(CWifiLibrary::EntryPoint(3), "torva_wifi_op3");
  EXPECT_EQ(CWifiLibrary::EntryPoint(2), nullptr);
  CWifiLibrary library({TORVA_WIFI_STANDIN_DIR});
  std::string error;
  EXPECT_FALSE(library.Run(2, nullptr, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace torva
