#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "app/atomic_file.h"

namespace torva {
namespace {
std::function<void()> g_beforeRename;
}

void SetBeforeRenameHookForTest(std::function<void()> hook) { g_beforeRename = std::move(hook); }

bool ReplaceFileAtomically(const std::string& path, const std::string& contents) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> tmp(pattern.begin(), pattern.end());
  tmp.push_back('\0');
  int fd = mkstemp(tmp.data());
  if (fd < 0) return false;
  const char* p = contents.data();
  size_t left = contents.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  // Keep the permissions of a settings file that users may share.
  ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && g_beforeRename) g_beforeRename();
  if (!ok || std::rename(tmp.data(), path.c_str()) != 0) {
    unlink(tmp.data());
    return false;
  }
  return true;
}

}  // namespace torva
