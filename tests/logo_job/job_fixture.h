// Shared pieces of the logo job tests: a link that records every write instead of sending
// it (and can fail a chosen write), bitmaps in a temporary folder, a settings file there.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/app.h"
#include "bmp_builder.h"
#include "logo/logo_list.h"
#include "logo/logo_options.h"
#include "logo/printer_link.h"
#include "ports/ports.h"
#include "support/fake_services.h"
#include "support/log_capture.h"
#include "support/serial_settings.h"

namespace torva::test {

using Bytes = std::vector<uint8_t>;

class CRecordingLink : public CPrinterLink {
 public:
  explicit CRecordingLink(CPorts& port) : CPrinterLink(port) {}
  bool Write(const uint8_t* data, int length) override {
    if (length <= 0) return true;
    if (static_cast<int>(m_writes.size()) == m_nFailAt) return false;
    m_writes.emplace_back(data, data + length);
    return true;
  }
  int LastError() const override { return 5; }
  Bytes AllBytes() const {
    Bytes all;
    for (const auto& w : m_writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }
  std::vector<Bytes> m_writes;
  int m_nFailAt = -1;  // index of the write that fails (and every one after it is refused)
  int m_nOpens = 0;
  int m_nCloses = 0;
  std::vector<bool> m_reopens;
  bool m_bOpenOk = true;

 protected:
  bool OpenPort(bool reopen) override {
    ++m_nOpens;
    m_reopens.push_back(reopen);
    return m_bOpenOk;
  }
  void ClosePort() override { ++m_nCloses; }
  bool ConnectNetwork(int) override {
    ++m_nOpens;
    return true;
  }
  void CloseNetwork() override { ++m_nCloses; }
  void AwaitCheckReply(int) override {}
};

class LogoJobFixture : public ::testing::Test {
 protected:
  LogoJobFixture() {
    m_strOldProfile = theApp().m_strProfilePath;
    theApp().m_strProfilePath = dir.File("torvaset.INI");
  }
  ~LogoJobFixture() override { theApp().m_strProfilePath = m_strOldProfile; }

  // A uniform grey picture of w x h dots (dark enough to print).
  std::string Bmp(const std::string& name, int w, int h, int grey = 40) {
    const std::string path = dir.File(name);
    WriteFileBytes(path, BuildGrey24(w, h, grey));
    return path;
  }
  std::string Ini() const { return ReadFileBytes(dir.File("torvaset.INI")); }
  void SetPort(const std::string& name) { SetSerialSettings(port, name); }

  ScopedFakeServices services;
  ScopedTempDir dir{true};
  CLogCapture log{dir.File("error.log")};
  CPorts port;
  LogoEntryLists entries;
  LogoOptions options;
  CLogoList list{entries, options};
  int keyCount = 0;

 private:
  std::string m_strOldProfile;
};

// Counts of a byte pattern in a stream.
inline int CountOf(const Bytes& hay, const Bytes& needle) {
  int n = 0;
  for (size_t i = 0; needle.size() <= hay.size() && i + needle.size() <= hay.size(); ++i) {
    if (std::equal(needle.begin(), needle.end(), hay.begin() + static_cast<std::ptrdiff_t>(i))) ++n;
  }
  return n;
}

}  // namespace torva::test
