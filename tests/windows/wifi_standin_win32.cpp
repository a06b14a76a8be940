// A stand-in for WiFi_DLL.dll, exporting its two operations by ordinal only (1 and 3, as
// the real library does; see wifi_standin_win32.def): each appends one line
// "op<N> <parent window>" to the file named by TORVA_WIFI_STANDIN_LOG.
#include <cstdio>
#include <cstdlib>

namespace {

void Record(int operation, void* parentWindow) {
  const char* path = std::getenv("TORVA_WIFI_STANDIN_LOG");
  if (path == nullptr || *path == '\0') return;
  std::FILE* f = std::fopen(path, "a");
  if (f == nullptr) return;
  std::fprintf(f, "op%d %p\n", operation, parentWindow);
  std::fclose(f);
}

}  // namespace

extern "C" int StandInInfrastructure(void* parentWindow) {
  Record(1, parentWindow);
  return 0;
}

extern "C" int StandInLimitedAp(void* parentWindow) {
  Record(3, parentWindow);
  return 0;
}
