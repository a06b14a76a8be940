// A small PNG writer for 8-bit grey pictures: stored (uncompressed) deflate blocks inside
// the zlib stream, so no compression library is needed. Shared by the logo preview of the
// tool and the printed paper of the simulator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torva::png {

// The PNG file of width x height grey bytes, row-major (255 white, 0 black). pixels holds
// at least width x height bytes.
std::vector<std::uint8_t> EncodeGrey(int width, int height,
                                     const std::vector<std::uint8_t>& pixels);
// Writes that file; false for a short picture or when the file cannot be written.
bool WriteGrey(const std::string& path, int width, int height,
               const std::vector<std::uint8_t>& pixels);

}  // namespace torva::png
