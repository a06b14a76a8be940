// Firmware images for tests and an independent builder of the block a printer should get,
// written from the block layout alone (it shares no code with src/firmware).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torva::test {

// 8 MB of pseudo-random bytes from seed (all FF when seed is 0), the boot version byte and,
// when marker is set, "ZELK" at the end. size changes the length (for the size checks).
std::vector<uint8_t> MakeFirmwareImage(uint32_t seed, uint8_t bootVersion, bool marker = true,
                                       size_t size = 0x800000);
void WriteFirmwareImage(const std::string& path, const std::vector<uint8_t>& image);

// The block of area ("program", "extfont", "lcdfont", "downloader", "boot") for model code
// modelCode, built byte by byte.
std::vector<uint8_t> ReferenceBlock(const std::vector<uint8_t>& image, const std::string& area,
                                    int modelCode);

}  // namespace torva::test
