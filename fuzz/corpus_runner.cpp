// Runs the fuzz entry over a corpus without libFuzzer, so that an ordinary build keeps the
// target compiling and every seed (and cut-down and bit-flipped forms of it) passes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunVariants(const std::vector<std::uint8_t>& seed) {
  LLVMFuzzerTestOneInput(seed.data(), seed.size());
  for (std::size_t cut = 0; cut < seed.size(); cut += 1 + cut / 4) {
    std::vector<std::uint8_t> part(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(cut));
    LLVMFuzzerTestOneInput(part.data(), part.size());
  }
  const std::size_t headers = seed.size() < 160 ? seed.size() : 160;
  for (std::size_t i = 0; i < headers; ++i) {
    for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
      std::vector<std::uint8_t> v = seed;
      v[i] ^= flip;
      LLVMFuzzerTestOneInput(v.data(), v.size());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> paths;
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto& e : std::filesystem::directory_iterator(argv[i])) paths.push_back(e.path());
    } else {
      paths.emplace_back(argv[i]);
    }
    for (const auto& p : paths) {
      std::ifstream in(p, std::ios::binary);
      const std::vector<std::uint8_t> seed((std::istreambuf_iterator<char>(in)), {});
      RunVariants(seed);
      ++files;
    }
  }
  std::printf("%d corpus files run\n", files);
  return files > 0 ? 0 : 1;
}
