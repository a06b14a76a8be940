// Keeps umockdev's test beds and the tests' temporary folders inside the build tree, so a
// test that ends badly leaves nothing in /tmp.
#include <cstdlib>
#include <filesystem>

namespace {

struct CDiscoveryTmpDir {
  CDiscoveryTmpDir() {
    std::error_code ec;
    std::filesystem::create_directories(TORVA_DISCOVERY_TMPDIR, ec);
    setenv("TMPDIR", TORVA_DISCOVERY_TMPDIR, 1);
  }
};

const CDiscoveryTmpDir g_tmpDir;

}  // namespace
