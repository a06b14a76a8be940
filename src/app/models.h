// The model table: one row per model line, holding everything that differs between the
// lines (name prefixes, model code and family, the port kind rule, the USB identifiers, the
// baud rates, the printable width, the NV notice, what the user setup dialog shows, the
// firmware downloader). Every rule that depends on the model asks one of the accessors
// below; nothing else tests a model code or a family number.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace torva {

// Model codes (m_nModel). A line's row carries its model code and its family number, which
// are the same number; a few names belong to a line's family but run with code 1.
enum ModelCode : int {
  kModelGeneric = 1,    // the TORVA20 line, and any model no prefix names
  kModelTorva10 = 2,    // the TORVA10 line: legacy firmware downloader, no user setup
  kModelTorva20II = 3,
  kModelDlx2000 = 4,
  kModelTorva30 = 5,
  kModelTorva40 = 6,
};

// The family of a name no prefix names: the connection dialog refuses it.
inline constexpr int kNoFamily = 0;

// Which controls of the user setup dialog a line shows.
enum class SetupView {
  Full,               // every control; the company logo picture is hidden
  NoNewOptions,       // New Option choices hidden but paper save, sleep, WiFi keep; logo
                      // picture shown; the two NV memory lists disabled
  ReservedBellUsbSleep,  // kitchen bell, USB mode, sleep and WiFi keep-connection disabled,
                         // their labels read "Reserved"
};

// How the firmware of a line is written.
enum class Downloader { Block, LegacyFramed };

// Where a line's Program and DOWNLOAD areas lie in its firmware image, and whether it has
// an LCD font area.
enum class FirmwareLayout { Standard, Torva30, Torva40 };

struct ModelPrefix {
  const char* text = nullptr;
  bool bFamilyOnly = false;  // the name joins the line's family but runs with model code 1
};

inline constexpr int kMaxModelPrefixes = 5;
inline constexpr int kMaxUsbIds = 4;
inline constexpr int kMaxBaudRates = 5;

using UsbIdList = std::array<const char*, kMaxUsbIds>;  // unused places are nullptr

struct ModelRow {
  int nCode;                                    // model code and family number
  std::array<ModelPrefix, kMaxModelPrefixes> prefixes;
  const char* portInfoPrefix;                   // start of the connection description
  const char* detailsName;                      // "Printer Details" of the logo pages
  bool bIiEndingIsUsb;                          // a name ending in "II" is a USB printer
  UsbIdList usbSearchIds;                       // the connection dialog's USB printer search
  UsbIdList usbOpenIds;                         // what CPorts opens for a USB printer
  UsbIdList usbSerialIds;                       // the serial line of a "-I" model
  std::array<int, kMaxBaudRates> baudRates;     // the Baudrate list, unused places 0
  int nPrintableWidth;                          // dots, the logo sheet's default area
  bool bGrayPrint;                              // prints grey NV images
  int nNvNoticeKB;                              // NV graphic memory below the logo area: a
                                                // notice is due above it (0: no notice)
  SetupView setupView;
  Downloader downloader;
  FirmwareLayout firmwareLayout = FirmwareLayout::Standard;
};

// The rows, in code order; row i holds code i + 1.
extern const std::array<ModelRow, 6> kModelTable;

// The row of a model code; codes out of range give the code-1 row.
const ModelRow& ModelRowOf(int modelCode);

// The TORVA10 line updates its firmware with the framed legacy downloader.
bool IsLegacyFirmwareModel(int modelCode);
// The User Setup job is offered for every model but the TORVA10 line.
bool HasUserSetup(int modelCode);
SetupView SetupViewOf(int modelCode);
// The firmware image layout of a model code (codes out of range: Standard).
FirmwareLayout FirmwareLayoutOf(int modelCode);
// Only the TORVA40 line has an LCD whose font the F/W Update dialog may write.
inline bool HasLcdFontArea(int modelCode) {
  return FirmwareLayoutOf(modelCode) == FirmwareLayout::Torva40;
}

// Model code by the longest matching prefix (code 1 when none matches or the prefix names
// only the family).
int ModelCodeFromName(const std::string& name);

// Model family by the longest matching prefix; kNoFamily when no prefix matches.
int ModelFamilyFromName(const std::string& name);

// A name the tool knows (some prefix matches): what a user types is refused otherwise.
inline bool IsKnownModelName(const std::string& name) {
  return ModelFamilyFromName(name) != kNoFamily;
}

enum PortKind { PK_NONE = 0, PK_COM = 1, PK_LPT = 2, PK_USB_COM = 3, PK_USB = 4,
                PK_ETHERNET = 6, PK_WIFI = 7 };

// The interface a model name's ending names ("E-II", "W", "II", "P", "S", "-I"); "II" gives
// PK_USB only for a family whose row says so (not the TORVA10 line).
PortKind PortKindFromName(const std::string& name, int family);

// The twelve built-in model names, in list order.
const std::vector<std::string>& BuiltInModels();

// USB hardware identifiers the port object tries for a USB open, by model code.
std::vector<std::string> UsbIdsForModelCode(int modelCode);
// USB hardware identifiers the USB printer search asks for, by family.
std::vector<std::string> UsbSearchIdsForFamily(int family);
// USB hardware identifiers of the serial line of a "-I" model, by family.
std::vector<std::string> UsbSerialIdsForFamily(int family);
// The Baudrate list of a serial model, by family, fastest first.
std::vector<int> BaudRatesForFamily(int family);

// The logo sheet's default printable width in dots.
int PrintableWidth(int modelCode);
// Whether the line prints grey NV images (the logo options offer "Use Gray Printing").
bool PrintsGray(int modelCode);
// The NV graphic memory in KB above which the logo pages show the line's notice; 0 when the
// line takes the whole logo area.
int NvNoticeLimitKB(int modelCode);

}  // namespace torva
