// The simulator's user-settings state file (--settings, --settings-out): a flat JSON object
// from setting number to the value nL + 256 * nH that the printer took.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace torva::test {

// Every "number": value pair of the file; empty when it cannot be read.
std::map<int, uint32_t> ReadSimSettings(const std::string& path);
// The file the simulator reads with --settings.
void WriteSimSettings(const std::string& path, const std::map<int, uint32_t>& settings);
// nL + 256 * nH.
constexpr uint32_t SimValue(int nL, int nH) { return static_cast<uint32_t>(nL + 256 * nH); }

}  // namespace torva::test
