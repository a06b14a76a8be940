#include <filesystem>
#include <system_error>

#include "ports/port_kind.h"

namespace torva {

bool IsDeviceName(const std::string& name) {
  std::error_code ec;
  return std::filesystem::is_character_file(name, ec);
}

}  // namespace torva
