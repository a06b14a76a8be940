// The WiFi setting library: a separate shared library, loaded when first needed, that sets
// up a WiFi printer over its USB cable. The tool needs two of its operations and reads
// nothing back:
//
//   operation 1, infrastructure mode:       int torva_wifi_op1(void* parentWindow)
//   operation 3, limited access-point mode: int torva_wifi_op3(void* parentWindow)
//
// parentWindow is the native handle of the calling dialog's window (an X11 window id on
// Linux, a window handle on Windows; may be null). Each call returns when the library is
// done; its result is ignored. Both are plain C entry points.
//
// The library is "libtorva_wifi.so" on Linux (WiFi_DLL.dll, imported by ordinals 1 and 3,
// on Windows). It is searched in the executable's own directory first, then on the system's
// library path. A library that is absent or lacks the entry point is a failure with a
// message that says so; nothing else happens then.
#pragma once

#include <string>
#include <vector>

namespace torva {

class CWifiLibrary {
 public:
  enum Operation { kInfrastructure = 1, kLimitedAp = 3 };

  // Searches the executable's directory, then the library path.
  CWifiLibrary();
  // Searches the given directories in order, then the library path (for tests).
  explicit CWifiLibrary(std::vector<std::string> directories);
  ~CWifiLibrary();
  CWifiLibrary(const CWifiLibrary&) = delete;
  CWifiLibrary& operator=(const CWifiLibrary&) = delete;

  // The library's file name on this platform.
  static const char* FileName();
  // The entry point of an operation ("torva_wifi_op1" ...), or null for an unknown one.
  static const char* EntryPoint(int operation);

  // Loads the library (once) and checks that the operation exists. On false, error holds
  // a text for the user; nothing was called.
  bool Prepare(int operation, std::string& error);
  // Prepare, then the call with the parent window. False (with error) when not prepared.
  bool Run(int operation, void* parentWindow, std::string& error);

  // Where the library was loaded from (empty until loaded).
  const std::string& LoadedFrom() const { return m_strLoadedFrom; }

 private:
  // The platform's part: where the program lives, loading, and the entry points.
  static std::string ExecutableDirectory();
  bool Load(std::string& error);
  bool HasEntry(int operation) const;
  void CallEntry(int operation, void* parentWindow) const;
  // The user's text for a library that is nowhere to be found.
  static std::string NotFoundText();


  std::vector<std::string> m_directories;
  void* m_hLibrary = nullptr;
  std::string m_strLoadedFrom;
};

}  // namespace torva
