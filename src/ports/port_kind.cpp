#include "ports/port_kind.h"

#include "app/text_util.h"

namespace torva {

PortNameKind ClassifyPortName(const std::string& name) {
  if (name.empty() || name == "ETHERNET_II" || name == "WIFI") return PortNameKind::Network;
  if (name == "USB") return PortNameKind::UsbPrinter;
  if (name == "FILE") return PortNameKind::File;
  // The names of the Windows device maps, kept so that settings files move between systems.
  if (StartsWith(name, "COM")) return PortNameKind::Serial;
  if (StartsWith(name, "LPT")) return PortNameKind::Parallel;
  // Linux device nodes.
  if (StartsWith(name, "/dev/usb/lp")) return PortNameKind::UsbNode;
  if (StartsWith(name, "/dev/lp") || StartsWith(name, "/dev/parport")) {
    return PortNameKind::Parallel;
  }
  return PortNameKind::Serial;
}

}  // namespace torva
