// The platform-free half of the USB searches: how identifiers are formed and compared.
#include "ports/usb_discovery.h"

namespace torva {

std::string UpperAscii(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string MakeUsbHardwareId(const std::string& idVendor, const std::string& idProduct) {
  return UpperAscii("USB\\VID_" + idVendor + "&PID_" + idProduct);
}

bool HardwareIdMatches(const std::string& deviceId, const std::string& wantedId) {
  return UpperAscii(deviceId).starts_with(wantedId);
}

}  // namespace torva
