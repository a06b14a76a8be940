// "torvaset-cli firmware download --legacy" against the simulated printer: a whole area
// written and checked on the simulator's side, and a silent printer ending the command after
// its time-out. These run the real erase wait (2.4 s for Boot, 3 s for Font).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/fake_services.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

struct CliRun {
  int status = -1;
  std::string err;
};

CliRun RunCli(const ScopedTempDir& dir, const std::string& args) {
  const std::string cmd = "cd '" + dir.Path() +
                          "' && LANG=C LC_ALL= LC_MESSAGES= " TORVA_BIN_DIR
                          "/torvaset-cli firmware download " +
                          args + " >stdout 2>stderr </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFileBytes(dir.File("stderr"))};
}

std::string Image() {
  std::string image(0x1B0000, '\0');
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 13) ^ (i >> 10));
  return image;
}

TEST(LegacyCli, FontAreaWrittenOnTheSimulator) {
  ScopedTempDir dir;
  const std::string image = Image();
  WriteFileBytes(dir.File("font.bin"), image);
  CSimProcess sim;
  ASSERT_TRUE(sim.Start({"--legacy-nak-every", "50", "--paper-dir", dir.Path()})) << sim.Error();
  const CliRun run = RunCli(dir, "--legacy --port serial:" + sim.SerialPath() +
                                     " --model TORVA10-S --area font --yes font.bin");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("COMPLETED"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("font area written: 256 frames, 5 repeats"), std::string::npos) << run.err;
  EXPECT_TRUE(ReadFileBytes(dir.File("flash-font.bin")) == image.substr(0x190000, 0x20000))
      << "flash-font.bin differs";
}

TEST(LegacyCli, SilentPrinterEndsAfterTheTimeout) {
  ScopedTempDir dir;
  WriteFileBytes(dir.File("boot.bin"), Image());
  CSimProcess sim;
  ASSERT_TRUE(sim.Start({"--silent"})) << sim.Error();
  const CliRun run = RunCli(dir, "--legacy --port " + sim.SerialPath() +
                                     " --model TORVA10-S --area boot --yes --timeout 0.5 boot.bin");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("No answer from the printer for 0.5 s to the erase frame."),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace torva::test
