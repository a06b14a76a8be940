// A umockdev test bed for one test: devices come from the checked-in description files of
// tests/data/umockdev (or a string); the real devices of the machine are hidden while it
// lives. The test program must run with the umockdev preload library (umockdev-wrapper).
#pragma once

#include <gtest/gtest.h>
#include <umockdev.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace torva::test {

inline bool UmockdevPreloaded() {
  const char* preload = std::getenv("LD_PRELOAD");
  return preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr;
}

class CTestbed {
 public:
  CTestbed() : m_pTestbed(umockdev_testbed_new()) {}
  ~CTestbed() { g_object_unref(m_pTestbed); }
  CTestbed(const CTestbed&) = delete;
  CTestbed& operator=(const CTestbed&) = delete;

  // Adds the devices of tests/data/umockdev/<name>.umockdev.
  void AddFile(const std::string& name) {
    const std::string path = std::string(TORVA_TEST_DATA_DIR) + "/umockdev/" + name + ".umockdev";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_file(m_pTestbed, path.c_str(), &error)) {
      ADD_FAILURE() << path << ": " << (error != nullptr ? error->message : "?");
      if (error != nullptr) g_error_free(error);
    }
  }
  void AddString(const std::string& description) {
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_pTestbed, description.c_str(), &error)) {
      ADD_FAILURE() << (error != nullptr ? error->message : "?");
      if (error != nullptr) g_error_free(error);
    }
  }
  // The far end of a device node: what the program writes to the node is read here.
  int DeviceFd(const std::string& devnode) {
    return umockdev_testbed_get_dev_fd(m_pTestbed, devnode.c_str());
  }

 private:
  UMockdevTestbed* m_pTestbed;
};

}  // namespace torva::test
