// A stand-in for the WiFi setting library: each operation appends one line
// "op<N> <parent window as hex>" to the file named by TORVA_WIFI_STANDIN_LOG and returns.
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

extern "C" __attribute__((visibility("default"))) int torva_wifi_op1(void* parentWindow) {
  Record(1, parentWindow);
  return 0;
}

extern "C" __attribute__((visibility("default"))) int torva_wifi_op3(void* parentWindow) {
  Record(3, parentWindow);
  return 0;
}
