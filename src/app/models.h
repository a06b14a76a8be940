// The model tables: the model code of a model name, the family and interface kind that the
// connection dialog derives, the built-in model list.
#pragma once

#include <string>
#include <vector>

namespace torva {

// Model codes (m_nModel). Callers name them; no bare numbers.
enum ModelCode : int {
  kModelGeneric = 1,    // any model no prefix names
  kModelTorva10 = 2,    // the TORVA10 line: legacy firmware downloader, no user setup
  kModelTorva20II = 3,
  kModelDlx2000 = 4,
  kModelTorva30 = 5,
  kModelTorva40 = 6,
};

// The TORVA10 line updates its firmware with the framed legacy downloader.
inline bool IsLegacyFirmwareModel(int modelCode) { return modelCode == kModelTorva10; }
// The User Setup job is offered for every model but the TORVA10 line.
inline bool HasUserSetup(int modelCode) { return modelCode != kModelTorva10; }

// Model code 1..6 by the first matching prefix ("TORVA10" 2, the TORVA20II line 3,
// "DLX-2000" 4, the TORVA30 line 5, "TORVA40" 6, anything else 1).
int ModelCodeFromName(const std::string& name);

// Model family by the connection dialog's prefix table; 0 when no prefix matches.
int ModelFamilyFromName(const std::string& name);

enum PortKind { PK_NONE = 0, PK_COM = 1, PK_LPT = 2, PK_USB_COM = 3, PK_USB = 4,
                PK_ETHERNET = 6, PK_WIFI = 7 };

// The interface a model name's ending names ("E-II", "W", "II", "P", "S", "-I"); "II" gives
// PK_USB only when family is not 2.
PortKind PortKindFromName(const std::string& name, int family);

// The twelve built-in model names, in list order.
const std::vector<std::string>& BuiltInModels();

// USB hardware identifiers the port object tries for a USB open, by model code.
std::vector<std::string> UsbIdsForModelCode(int modelCode);

}  // namespace torva
