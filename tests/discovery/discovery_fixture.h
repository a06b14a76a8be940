// Common set-up of the discovery tests: a fresh test bed, the error log in a temporary folder
// and the settings file there too.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/app.h"
#include "app/error_log.h"
#include "support/fake_services.h"
#include "umockdev_testbed.h"

namespace torva::test {

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without the preload libudev would look at this machine's real devices.
    ASSERT_TRUE(UmockdevPreloaded()) << "run this program under umockdev-wrapper";
    m_pTestbed = std::make_unique<CTestbed>();
    ASSERT_TRUE(theLog.OpenLog(m_dir.File("error.log")));
    m_strOldProfile = theApp().m_strProfilePath;
    theApp().m_strProfilePath = m_dir.File("torvaset.INI");
  }
  void TearDown() override {
    theLog.CloseLog();
    theApp().m_strProfilePath = m_strOldProfile;
    m_pTestbed.reset();
  }

  CTestbed& Testbed() { return *m_pTestbed; }
  std::string LogText() const { return ReadFileBytes(m_dir.File("error.log")); }
  void WriteSettings(const std::string& text) { WriteFileBytes(m_dir.File("torvaset.INI"), text); }

  ScopedFakeServices m_services;
  ScopedTempDir m_dir;

 private:
  std::unique_ptr<CTestbed> m_pTestbed;
  std::string m_strOldProfile;
};

}  // namespace torva::test
