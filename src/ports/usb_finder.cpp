#include "ports/usb_finder.h"

#include "ports/usb_discovery.h"

namespace torva {
namespace {

IUsbPrinterFinder* g_pFinder = nullptr;

}  // namespace

IUsbPrinterFinder& UsbPrinterFinder() {
  return g_pFinder != nullptr ? *g_pFinder : SystemUsbPrinterFinder();
}

void SetUsbPrinterFinder(IUsbPrinterFinder* finder) { g_pFinder = finder; }

}  // namespace torva
