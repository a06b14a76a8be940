// The Windows back ends themselves, under wine: the registry's device maps and the usbser
// key, the device setup search with no printer present, the system language, and (with the
// simulator on COM99, started by wine_cli_test.sh) the serial line with its watch thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "app/messages.h"
#include "app/platform.h"
#include "network/wifi_library.h"
#include "ports/port_enum.h"
#include "ports/ports.h"
#include "ports/usb_discovery.h"
#include "support/fake_services.h"
#include "support/log_capture.h"

namespace torva {
namespace {

// Sets a REG_SZ value under HKEY_LOCAL_MACHINE for one test and removes it afterwards (the
// key too, when the test made it).
class CScopedRegistryValue {
 public:
  CScopedRegistryValue(const wchar_t* key, const wchar_t* name, const std::wstring& data)
      : m_name(name) {
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &m_hKey, &disposition),
              ERROR_SUCCESS);
    m_bCreated = disposition == REG_CREATED_NEW_KEY;
    m_key = key;
    EXPECT_EQ(RegSetValueExW(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  ~CScopedRegistryValue() {
    RegDeleteValueW(m_hKey, m_name.c_str());
    RegCloseKey(m_hKey);
    if (m_bCreated) RegDeleteKeyW(HKEY_LOCAL_MACHINE, m_key.c_str());
  }
  CScopedRegistryValue(const CScopedRegistryValue&) = delete;
  CScopedRegistryValue& operator=(const CScopedRegistryValue&) = delete;

 private:
  HKEY m_hKey = nullptr;
  std::wstring m_key;
  std::wstring m_name;
  bool m_bCreated = false;
};

const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
const wchar_t* kParallel = L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
const wchar_t* kUsbSer = L"SYSTEM\\CurrentControlSet\\Services\\usbser\\Enum";

bool Has(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

// Names only: no port found here is ever opened.
TEST(Win32Registry, DeviceMapsGiveThePortNames) {
  test::ScopedFakeServices services;
  CScopedRegistryValue serial(kSerialComm, L"\\Device\\TorvaTest0", L"COM97");
  CScopedRegistryValue parallel(kParallel, L"\\Device\\TorvaTestLpt", L"\\DosDevices\\LPT7");
  CPorts port;
  std::vector<std::string> serialPorts;
  const int nSerial = port.EnumPorts(false, serialPorts);
  EXPECT_EQ(nSerial, static_cast<int>(serialPorts.size()));
  EXPECT_TRUE(Has(serialPorts, "COM97"));
  EXPECT_TRUE(Has(serialPorts, "COM99"));  // wine's own entry for the test port
  std::vector<std::string> parallelPorts;
  port.EnumPorts(true, parallelPorts);
  EXPECT_TRUE(Has(parallelPorts, "LPT7"));
  EXPECT_FALSE(Has(parallelPorts, "\\DosDevices\\LPT7"));
}

// Registry names only, as above: COM96 is looked up, never opened.
TEST(Win32Registry, UsbSerialPortOfTheDriversFirstDevice) {
  test::ScopedFakeServices services;
  CScopedRegistryValue serial(kSerialComm, L"\\Device\\USBSER000", L"COM96");
  struct Case {
    const wchar_t* instance;
    const char* wanted;
    const char* port;
  } cases[] = {
      {L"usb\\vid_2f3d&pid_3001\\5&2a", "USB\\VID_2F3D&PID_3001", "COM96"},  // upper-cased
      {L"USB\\VID_2F3D&PID_3001\\X", "USB\\VID_2F3D", "COM96"},              // a prefix
      {L"USB\\VID_2F3D&PID_3001", "USB\\VID_2F3D&PID_3001", ""},             // exactly 21: never
      {L"USB\\VID_2F3D&PID_3004\\X", "USB\\VID_2F3D&PID_3001", ""},
  };
  for (const Case& c : cases) {
    CScopedRegistryValue first(kUsbSer, L"0", c.instance);
    EXPECT_EQ(FindUsbSerialPort(c.wanted), c.port) << c.wanted;
    EXPECT_EQ(UsbSerMatches(c.wanted, "COM96"), *c.port != '\0') << c.wanted;
  }
}

TEST(Win32SetupDi, NoPrinterPresentIsNoneFound) {
  test::ScopedFakeServices services;
  test::ScopedTempDir dir;
  test::CLogCapture log(dir.File("error.log"));
  EXPECT_EQ(FindUsbPrinter("USB\\VID_2F3D"), -1);
  std::string path = "untouched";
  EXPECT_EQ(OpenUsbPrinter("USB\\VID_2F3D&PID_3012", path), -1);
  EXPECT_EQ(path, "untouched");
  EXPECT_TRUE(log.Contains("[Error] SetupDiEnumDeviceInterfaces(" +
                           std::to_string(ERROR_NO_MORE_ITEMS) + ")"))
      << log.Text();
  std::vector<UsbPrinterInfo> printers;
  EXPECT_TRUE(ListUsbPrinters(printers));
  EXPECT_TRUE(printers.empty());
  // The port object reports the failed USB open as such.
  CPorts port;
  port.m_strPortName = "USB";
  port.m_nModel = 6;
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(port.m_bConnected);
}

// Run once with LANG=ko_KR.UTF-8 and once with LANG=C.UTF-8 (TORVA_EXPECT_LANGID tells).
TEST(Win32Language, SystemLanguageSelectsTheTable) {
  const char* expected = std::getenv("TORVA_EXPECT_LANGID");
  ASSERT_NE(expected, nullptr);
  const int id = SystemDefaultLanguageId();
  EXPECT_EQ(id, std::atoi(expected));
  CMessageTable table;
  table.SelectLanguage(CHostSystem().DefaultLanguageId());
  EXPECT_STREQ(table[5],
               id == kLangKorean ? "Baudrate를 선택하십시오." : "Baudrate is not selected!");
}

// WiFi_DLL.dll by its ordinals 1 and 3, each called with the parent window.
TEST(Win32Wifi, OrdinalsOneAndThreeAreCalledWithTheParent) {
  test::ScopedTempDir dir;
  const std::string calls = dir.File("calls.txt");
  ASSERT_EQ(_putenv_s("TORVA_WIFI_STANDIN_LOG", calls.c_str()), 0);
  {
    CWifiLibrary library({TORVA_WIFI_STANDIN_DIR});
    std::string error;
    EXPECT_TRUE(library.Run(CWifiLibrary::kInfrastructure, reinterpret_cast<void*>(0x1234), error))
        << error;
    EXPECT_TRUE(library.Run(CWifiLibrary::kLimitedAp, nullptr, error)) << error;
    EXPECT_NE(library.LoadedFrom().find("WiFi_DLL.dll"), std::string::npos);
    EXPECT_FALSE(library.Run(2, nullptr, error));
  }
  std::string text = test::ReadFileBytes(calls);
  std::erase(text, '\r');  // the stand-in writes in text mode
  EXPECT_EQ(text.rfind("op1 ", 0), 0u) << text;
  EXPECT_NE(text.find("1234\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nop3 "), std::string::npos) << text;
  // Absent: a clear failure naming the library, nothing called.
  CWifiLibrary absent({dir.Path()});
  std::string error;
  EXPECT_FALSE(absent.Run(CWifiLibrary::kLimitedAp, nullptr, error));
  EXPECT_NE(error.find("WiFi_DLL.dll"), std::string::npos) << error;
  std::string after = test::ReadFileBytes(calls);
  std::erase(after, '\r');
  EXPECT_EQ(after, text);
  _putenv_s("TORVA_WIFI_STANDIN_LOG", "");
}

// ---- the serial line on COM99, the simulator at its far end ----

class Com99Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("TORVA_SIM_ON_COM99") == nullptr) GTEST_SKIP() << "needs the simulator";
    port.m_strPortName = "COM99";  // the only serial port a test may open
    port.m_nModel = 1;
    port.m_nBaudRate = 115200;
    port.m_nDataBits = 8;
    port.m_nParity = 0;
    port.m_nStopBits = 0;
    port.m_nFlowControl = 3;
  }
  void TearDown() override {
    port.Close();
    port.JoinWatchThread();
    port.m_fnNotify = nullptr;
  }
  test::ScopedFakeServices services;
  CPorts port;
};

const std::vector<uint8_t> kPrinterCheck = {0x1D, 0x49, 0x01};

TEST_F(Com99Test, WatchThreadQueuesTheReplyAndEndsPromptlyAfterClose) {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<uint8_t> received;
  int notifications = 0;
  port.m_nFunction = kFunctionUserSetup;
  port.m_fnNotify = [&] {
    std::lock_guard lock(mutex);
    ++notifications;
    while (!port.m_QueueRead.IsEmpty()) received.push_back(port.m_QueueRead.Get());
    arrived.notify_all();
  };
  ASSERT_TRUE(port.Open());
  ASSERT_TRUE(port.IsWatchThreadRunning());
  // Idle first: empty timed reads are "nothing yet", never an error that ends watching.
  Sleep(350);
  EXPECT_TRUE(port.IsWatchThreadRunning());
  EXPECT_EQ(notifications, 0);
  ASSERT_EQ(port.Write(kPrinterCheck), 3);
  {
    std::unique_lock lock(mutex);
    arrived.wait_for(lock, std::chrono::seconds(5), [&] { return !received.empty(); });
  }
  EXPECT_EQ(received, std::vector<uint8_t>{0x20});
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(port.Close());
  port.JoinWatchThread();
  const auto took = std::chrono::steady_clock::now() - before;
  EXPECT_FALSE(port.IsWatchThreadRunning());
  // The pending read is cancelled, not waited out (a generous bound for a loaded machine).
  EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST_F(Com99Test, ReplyWaitReadsTheAnswerAndNothingYetIsNoFailure) {
  port.m_nFunction = kFunctionLogo;
  ASSERT_TRUE(port.Open());
  uint8_t buffer[16];
  EXPECT_EQ(port.AwaitReply(buffer, sizeof buffer, 300), 0);  // nothing sent, nothing yet
  ASSERT_EQ(port.Write(kPrinterCheck), 3);
  ASSERT_EQ(port.AwaitReply(buffer, sizeof buffer, 3000), 1);
  EXPECT_EQ(buffer[0], 0x20);
  EXPECT_EQ(port.AwaitReply(buffer, sizeof buffer, 200), 0);
  EXPECT_TRUE(port.Close());
}

}  // namespace
}  // namespace torva
