// Shared pieces of the logo dialog tests: the test classes by name, a fixture with fake
// services, a temporary start directory with its settings file, a port object of its own
// and a log, small BMP files, and reading what reached a capture file.
#pragma once

#include <QObject>
#include <QTest>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/messages.h"
#include "app/models.h"
#include "logo/gui/logo_page.h"
#include "logo/logo_list.h"
#include "logo/logo_options.h"
#include "logo/upload_engine.h"
#include "ports/ports.h"
#include "support/fake_services.h"
#include "support/log_capture.h"
#include "support/qt_test_main.h"
#include "support/serial_settings.h"

namespace torva::test {

std::unique_ptr<QObject> MakeCheckListCtrlTest();
std::unique_ptr<QObject> MakeLogoSheetTest();
std::unique_ptr<QObject> MakeUploadPageTest();
std::unique_ptr<QObject> MakePrintPageTest();
std::unique_ptr<QObject> MakeWidthWarningTest();

inline QtTestClasses LogoTestClasses() {
  return {{"CheckListCtrlTest", MakeCheckListCtrlTest},
          {"LogoSheetTest", MakeLogoSheetTest},
          {"UploadPageTest", MakeUploadPageTest},
          {"PrintPageTest", MakePrintPageTest},
          {"WidthWarningTest", MakeWidthWarningTest}};
}

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A 24-bit bottom-up BMP with the colour of each pixel from rgb(x, y) (0xRRGGBB).
inline std::string MakeBmp24(int width, int height,
                             const std::function<std::uint32_t(int, int)>& rgb) {
  const int stride = (width * 3 + 3) / 4 * 4;
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * height);
  std::string b(54 + pixelBytes, '\0');
  auto le32 = [&b](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  b[0] = 'B';
  b[1] = 'M';
  le32(2, 54 + pixelBytes);
  le32(10, 54);
  le32(14, 40);
  le32(18, static_cast<std::uint32_t>(width));
  le32(22, static_cast<std::uint32_t>(height));
  b[26] = 1;
  b[28] = 24;
  le32(34, pixelBytes);
  for (int y = 0; y < height; ++y) {
    const std::size_t row = 54 + static_cast<std::size_t>((height - 1 - y) * stride);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = rgb(x, y);
      b[row + 3 * x] = static_cast<char>(c & 0xFF);
      b[row + 3 * x + 1] = static_cast<char>((c >> 8) & 0xFF);
      b[row + 3 * x + 2] = static_cast<char>((c >> 16) & 0xFF);
    }
  }
  return b;
}

inline std::string MakeGreyBmp(int width, int height, int grey) {
  const std::uint32_t g = static_cast<std::uint32_t>(grey);
  return MakeBmp24(width, height, [g](int, int) { return (g << 16) | (g << 8) | g; });
}

// Waits (bounded) until the file holds at least size bytes; returns its bytes.
inline Bytes WaitForFile(const std::string& path, std::size_t size, int timeoutMs = 8000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string bytes = ReadFileBytes(path);
  while (bytes.size() < size && std::chrono::steady_clock::now() < end) {
    QTest::qWait(20);
    bytes = ReadFileBytes(path);
  }
  return ToBytes(bytes);
}

// Where needle starts in hay, or -1.
inline long Find(const Bytes& hay, const Bytes& needle, std::size_t from = 0) {
  if (needle.empty() || hay.size() < needle.size()) return -1;
  for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
    if (std::equal(needle.begin(), needle.end(), hay.begin() + static_cast<long>(i))) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

struct LogoFixture {
  explicit LogoFixture(int language = kLangEnglish) {
    fakes.system.m_nLanguage = language;
    fakes.system.m_strStartDir = dir.Path();
    theApp().InitPaths("torvaset");
    theMsg.SelectLanguage(language);
    g_logoEntries.Clear();
    g_logoSheet = LogoSheetState{};
    g_nLogoKeyCount = 0;
    theLogoOptions = LogoOptions{};
    port.m_strPortName = "FILE";
    port.m_nModel = kModelGeneric;
    connection.pPort = &port;
  }
  ~LogoFixture() {
    port.Close();
    g_logoEntries.Clear();
  }
  LogoFixture(const LogoFixture&) = delete;
  LogoFixture& operator=(const LogoFixture&) = delete;

  std::string Settings() const { return ReadFileBytes(dir.File("torvaset.INI")); }
  void WriteSettings(const std::string& text) { WriteFileBytes(dir.File("torvaset.INI"), text); }
  std::string Bmp(const std::string& name, const std::string& bytes) {
    const std::string path = dir.File(name);
    WriteFileBytes(path, bytes);
    return path;
  }
  // A LOGO section with these paths as Logofile1.. .
  void WriteLogoSection(const std::vector<std::string>& paths) {
    std::string text = "[LOGO]\r\n";
    for (std::size_t i = 0; i < paths.size(); ++i) {
      text += "Logofile" + std::to_string(i + 1) + "=" + paths[i] + "\r\n";
    }
    WriteSettings(text);
  }
  void SetSerial(const std::string& path) { SetSerialSettings(port, path); }
  std::vector<std::string> Messages() const { return fakes.ui.MessageTexts(); }
  bool HasMessage(const std::string& text) const {
    for (const std::string& m : Messages()) {
      if (m == text) return true;
    }
    return false;
  }

  ScopedFakeServices fakes;
  ScopedTempDir dir{true};
  CLogCapture log{dir.File("error.log")};
  CPorts port;
  LogoConnection connection;
  CLogoList list;
};

}  // namespace torva::test
