#include "app/models.h"

#include <cstring>

#include "app/text_util.h"

namespace torva {
namespace {

constexpr const char* kUsb0101 = "USB\\VID_2F3D&PID_0101";
constexpr const char* kUsb0102 = "USB\\VID_2F3D&PID_0102";
constexpr const char* kUsb3004 = "USB\\VID_2F3D&PID_3004";
constexpr UsbIdList kUsbSerialDefault = {"USB\\VID_2F3D&PID_3001", "USB\\VID_2F3D&PID_3501",
                                         "USB\\VID_2F3D&PID_3A05"};
constexpr std::array<int, kMaxBaudRates> kAllBaudRates = {115200, 57600, 38400, 19200, 9600};

std::vector<std::string> Ids(const UsbIdList& ids) {
  std::vector<std::string> out;
  for (const char* id : ids) {
    if (id != nullptr) out.emplace_back(id);
  }
  return out;
}

// The row whose prefix is the longest that starts the name, and that prefix; the longest
// wins so that "TORVA20II" beats "TORVA20" and "QMR-5150" beats "QMR-51".
const ModelRow* MatchRow(const std::string& name, const ModelPrefix** matched) {
  const ModelRow* best = nullptr;
  std::size_t bestLength = 0;
  for (const ModelRow& row : kModelTable) {
    for (const ModelPrefix& prefix : row.prefixes) {
      if (prefix.text == nullptr) break;
      const std::size_t length = std::strlen(prefix.text);
      if (length > bestLength && StartsWith(name, prefix.text)) {
        best = &row;
        bestLength = length;
        *matched = &prefix;
      }
    }
  }
  return best;
}

}  // namespace

// The identifiers the USB open tries for the TORVA40 line include 3004, which its USB
// printer search does not ask for: both lists are kept as the printers expect them.
constexpr std::array<ModelRow, 6> kModelTableRows = {{
    {kModelGeneric, {{{"TORVA20"}, {"MOR410"}}}, "TORVA20 - ", "TORVA", true,
     {kUsb0101}, {kUsb0101}, kUsbSerialDefault, kAllBaudRates, 512, true, 0,
     SetupView::Full, Downloader::Block},
    {kModelTorva10, {{{"TORVA10"}}}, "TORVA10 - ", "TORVA10", false,
     {kUsb0102}, {kUsb0101}, kUsbSerialDefault, {38400, 19200, 9600}, 384, false, 0,
     SetupView::Full, Downloader::LegacyFramed},
    {kModelTorva20II,
     {{{"TORVA20II"}, {"QMR-5150"}, {"QMR-51", true}, {"LUN 07II"}, {"KV-6040"}}},
     "TORVA20 - ", "TORVA", true, {kUsb0102}, {kUsb3004}, kUsbSerialDefault, kAllBaudRates,
     512, true, 0, SetupView::Full, Downloader::Block},
    {kModelDlx2000, {{{"DLX-2000"}, {"T40", true}}}, "TORVA40i - ", "TORVA", true,
     {kUsb3004}, {kUsb3004}, {"USB\\VID_2F3D&PID_3003"}, kAllBaudRates, 512, true, 0,
     SetupView::ReservedBellUsbSleep, Downloader::Block},
    // The first identifier is tried twice, as the printers of this line expect.
    {kModelTorva30, {{{"TORVA30"}, {"Qir"}}}, "TORVA30 - ", "TORVA", true,
     {"USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3502",
      "USB\\VID_2F3D&PID_3A06"},
     {"USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3502",
      "USB\\VID_2F3D&PID_3A06"},
     kUsbSerialDefault, kAllBaudRates, 512, true, 128, SetupView::NoNewOptions, Downloader::Block,
     FirmwareLayout::Torva30},
    {kModelTorva40, {{{"TORVA40"}, {"ZD12", true}, {"KV-80", true}}}, "TORVA40 - ", "TORVA", true,
     {"USB\\VID_2F3D&PID_3012", "USB\\VID_2F3D&PID_3512", "USB\\VID_2F3D&PID_3A08"},
     {"USB\\VID_2F3D&PID_3012", kUsb3004, "USB\\VID_2F3D&PID_3512", "USB\\VID_2F3D&PID_3A08"},
     {"USB\\VID_2F3D&PID_3011", "USB\\VID_2F3D&PID_3511", "USB\\VID_2F3D&PID_3A07"},
     kAllBaudRates, 512, true, 0, SetupView::Full, Downloader::Block, FirmwareLayout::Torva40},
}};
const std::array<ModelRow, 6> kModelTable = kModelTableRows;
static_assert(
    [] {
      for (std::size_t i = 0; i < kModelTableRows.size(); ++i) {
        if (kModelTableRows[i].nCode != static_cast<int>(i) + 1) return false;
      }
      return true;
    }(),
    "row i holds model code i + 1");

const ModelRow& ModelRowOf(int modelCode) {
  if (modelCode < 1 || modelCode > static_cast<int>(kModelTable.size())) return kModelTable[0];
  return kModelTable[static_cast<std::size_t>(modelCode - 1)];
}

bool IsLegacyFirmwareModel(int modelCode) {
  return ModelRowOf(modelCode).downloader == Downloader::LegacyFramed;
}

FirmwareLayout FirmwareLayoutOf(int modelCode) { return ModelRowOf(modelCode).firmwareLayout; }

// The TORVA10 line has no user settings; it is also the one legacy line.
bool HasUserSetup(int modelCode) { return !IsLegacyFirmwareModel(modelCode); }

SetupView SetupViewOf(int modelCode) { return ModelRowOf(modelCode).setupView; }

int ModelCodeFromName(const std::string& name) {
  const ModelPrefix* prefix = nullptr;
  const ModelRow* row = MatchRow(name, &prefix);
  if (row == nullptr || prefix->bFamilyOnly) return kModelGeneric;
  return row->nCode;
}

int ModelFamilyFromName(const std::string& name) {
  const ModelPrefix* prefix = nullptr;
  const ModelRow* row = MatchRow(name, &prefix);
  return row == nullptr ? kNoFamily : row->nCode;
}

PortKind PortKindFromName(const std::string& name, int family) {
  if (EndsWith(name, "E-II")) return PK_ETHERNET;
  if (EndsWith(name, "W")) return PK_WIFI;
  if (EndsWith(name, "II") && ModelRowOf(family).bIiEndingIsUsb) return PK_USB;
  if (EndsWith(name, "P")) return PK_LPT;
  if (EndsWith(name, "S")) return PK_COM;
  if (EndsWith(name, "-I")) return PK_USB_COM;
  return PK_NONE;
}

const std::vector<std::string>& BuiltInModels() {
  static const std::vector<std::string> models = {
      "TORVA30/35U-I", "TORVA30/35U-II", "TORVA30/35S", "TORVA30/35P",
      "TORVA30/35E-II", "TORVA30/35W", "TORVA40/45U-I", "TORVA40/45U-II",
      "TORVA40/45S", "TORVA40/45P", "TORVA40/45E-II", "TORVA40/45W"};
  return models;
}

std::vector<std::string> UsbIdsForModelCode(int modelCode) {
  return Ids(ModelRowOf(modelCode).usbOpenIds);
}

std::vector<std::string> UsbSearchIdsForFamily(int family) {
  return Ids(ModelRowOf(family).usbSearchIds);
}

std::vector<std::string> UsbSerialIdsForFamily(int family) {
  return Ids(ModelRowOf(family).usbSerialIds);
}

std::vector<int> BaudRatesForFamily(int family) {
  std::vector<int> rates;
  for (int rate : ModelRowOf(family).baudRates) {
    if (rate != 0) rates.push_back(rate);
  }
  return rates;
}

int PrintableWidth(int modelCode) { return ModelRowOf(modelCode).nPrintableWidth; }

bool PrintsGray(int modelCode) { return ModelRowOf(modelCode).bGrayPrint; }

int NvNoticeLimitKB(int modelCode) { return ModelRowOf(modelCode).nNvNoticeKB; }

}  // namespace torva
