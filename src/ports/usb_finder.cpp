#include "ports/usb_finder.h"

#if __has_include("ports/usb_discovery.h")
#include "ports/usb_discovery.h"
#define TORVA_HAVE_USB_DISCOVERY 1
#endif

namespace torva {
namespace {

#ifndef TORVA_HAVE_USB_DISCOVERY
// Until the system search is built in, no USB printer is ever found.
class CNoUsbPrinterFinder final : public IUsbPrinterFinder {
 public:
  int OpenUsbPrinter(const std::string&, std::string& pathOut) override {
    pathOut.clear();
    return -1;
  }
  void ReleaseDevInfo() override {}
};
#endif

IUsbPrinterFinder& DefaultFinder() {
#ifdef TORVA_HAVE_USB_DISCOVERY
  return SystemUsbPrinterFinder();
#else
  static CNoUsbPrinterFinder finder;
  return finder;
#endif
}

IUsbPrinterFinder* g_pFinder = nullptr;

}  // namespace

IUsbPrinterFinder& UsbPrinterFinder() { return g_pFinder != nullptr ? *g_pFinder : DefaultFinder(); }

void SetUsbPrinterFinder(IUsbPrinterFinder* finder) { g_pFinder = finder; }

}  // namespace torva
