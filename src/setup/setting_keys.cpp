#include "setup/setting_keys.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "setup/setting_numbers.h"

namespace torva {

namespace {

// How a key's value is spelt and where it goes.
enum class Kind {
  Words,       // one word per choice of a radio or list, in choice order
  WaterMark,   // "off" or the image number 1..255
  CutAdjust,   // "off" or the lines 0..255
  CodePage,    // the code page number, one of the list's
  Margin,      // dots 0..512
  CustomCode,  // 1 to 8 upper-case hexadecimal digits
};

// Which model lines offer a key that Get Value does not read. Keys that are read back are
// always accepted: a backup carries them and the dialog writes them back on every line.
enum class Offer { Always, NewOptions, KitchenBell, UsbMode, BellControls, WifiKeep };

struct KeyDef {
  const char* name;
  int nSetting;
  const char* label;
  Kind kind;
  int CSettingModel::*member;
  std::vector<std::string> words;
  Offer offer = Offer::Always;
};

using M = CSettingModel;

const std::vector<KeyDef>& Keys() {
  static const std::vector<KeyDef> keys = {
      {"paper-width",
       kSetPaperWidth,
       "Paper Width & Max. Column",
       Kind::Words,
       &M::m_nPaperWidth,
       {"80", "58"}},
      {"columns",
       kSetPaperWidth,
       "Paper Width & Max. Column",
       Kind::Words,
       &M::m_nColumns,
       {"30", "32"}},
      {"paper-type",
       kSetPaperType,
       "Paper Type",
       Kind::Words,
       &M::m_nPaperType,
       {"black", "2color"}},
      {"color-density",
       kSetColorDensity,
       "Paper Type",
       Kind::Words,
       &M::m_nColorDensity,
       {"light", "medium", "dark"}},
      {"watermark", kSetWaterMark, "Water Mark Function", Kind::WaterMark, &M::m_nWaterMark, {}},
      {"cut-adjust",
       kSetCutAdjust,
       "Cutting postion adjustment Function",
       Kind::CutAdjust,
       &M::m_nCutAdjust,
       {}},
      {"drawer-with-cut",
       kSetDrawerWithCut,
       "Drawer open with cutting",
       Kind::Words,
       &M::m_nDrawerWithCut,
       {"disable", "enable"}},
      {"bell-type",
       kSetBell,
       "Kitchen Bell Type & Length",
       Kind::Words,
       &M::m_nBellType,
       {"bell", "melody1", "melody2", "melody3", "other"}},
      {"bell-times",
       kSetBell,
       "Kitchen Bell Type & Length",
       Kind::Words,
       &M::m_nBellTimes,
       {"1", "2", "3", "4", "5"}},
      {"code-page", kSetCodePage, "Default Code Page", Kind::CodePage, &M::m_nCodePage, {}},
      {"nv-graphic", kSetNvGraphic, "NV Graphic Memory Size", Kind::Words, &M::m_nNvGraphic,
       kNvGraphicTexts},
      {"nv-user", kSetNvUser, "NV User Memory Size", Kind::Words, &M::m_nNvUser, kNvUserTexts},
      {"cut-mode",
       kSetCutMode,
       "Cutting Mode Select",
       Kind::Words,
       &M::m_nCutMode,
       {"partial", "full"}},
      {"bold-font", kSetBoldFont, "Bold Korean Font", Kind::Words, &M::m_nBoldFont, {"off", "on"}},
      {"max-speed", kSetMaxSpeed, "Max Print Speed", Kind::Words, &M::m_nMaxSpeed, kMaxSpeedTexts},
      {"left-margin", kSetLeftMargin, "Set Left Paper Margin", Kind::Margin, &M::m_nLeftMargin, {}},
      {"drawer-self-test",
       kSetDrawerSelfTest,
       "Drawer Open In Self-Test",
       Kind::Words,
       &M::m_nDrawerSelfTest,
       {"enable", "disable"}},
      {"receive-buffer",
       kSetReceiveBuffer,
       "Receive Buffer Size",
       Kind::Words,
       &M::m_nReceiveBuffer,
       {"64", "32", "20", "4"}},
      {"stop-bit", kSetStopBit, "STOP BIT(COM PORT)", Kind::Words, &M::m_nStopBit, {"1", "2"}},
      {"custom-code", kSetCustomCode, "Customize Setup Code(HEX)", Kind::CustomCode, nullptr, {}},
      {"emulation",
       kSetEmulation,
       "Emulation",
       Kind::Words,
       &M::m_nEmulation,
       {"epson", "star"},
       Offer::NewOptions},
      {"print-density",
       kSetPrintDensity,
       "Density",
       Kind::Words,
       &M::m_nPrintDensity,
       {"1", "2", "3", "4"},
       Offer::NewOptions},
      {"kitchen-bell",
       kSetKitchenBell,
       "Kitchen Bell",
       Kind::Words,
       &M::m_nKitchenBell,
       {"off", "on"},
       Offer::KitchenBell},
      {"auto-cut",
       kSetAutoCut,
       "AutoCut",
       Kind::Words,
       &M::m_nAutoCut,
       {"on", "off"},
       Offer::NewOptions},
      {"self-test",
       kSetSelfTest,
       "SELF-TEST",
       Kind::Words,
       &M::m_nSelfTestMode,
       {"selftest", "hexdump"},
       Offer::NewOptions},
      {"usb-mode",
       kSetUsbMode,
       "USB mode",
       Kind::Words,
       &M::m_nUsbMode,
       {"usb", "com"},
       Offer::UsbMode},
      {"sleep",
       kSetSleep,
       "Sleep mode",
       Kind::Words,
       &M::m_nSleep,
       {"0", "5", "10", "15"},
       Offer::BellControls},
      {"paper-save",
       kSetPaperSave,
       "Paper Save Mode",
       Kind::Words,
       &M::m_nPaperSave,
       {"off", "lv1", "lv2"}},
      {"wifi-keep",
       kSetWifiKeep,
       "WiFi Auto Keep-Connection",
       Kind::Words,
       &M::m_nWifiKeep,
       {"enable", "disable"},
       Offer::WifiKeep},
      {"lcd-password",
       kSetLcdPassword,
       "LCD Password",
       Kind::Words,
       &M::m_nLcdPassword,
       {"reset", "keep"},
       Offer::NewOptions},
  };
  return keys;
}

const KeyDef* FindKey(const std::string& name) {
  for (const auto& k : Keys()) {
    if (name == k.name) return &k;
  }
  return nullptr;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string s;
  for (const auto& w : words) s += (s.empty() ? "" : ", ") + w;
  return s;
}

// A decimal number of at most 4 digits, or -1.
int Number(const std::string& text) {
  if (text.empty() || text.size() > 4) return -1;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

int WordIndex(const KeyDef& k, const std::string& value) {
  const auto it = std::find(k.words.begin(), k.words.end(), Lower(value));
  return it == k.words.end() ? -1 : static_cast<int>(it - k.words.begin());
}

// The checks that need no model: the spelling of the value.
bool CheckValue(const KeyDef& k, const std::string& value, std::string& error) {
  const std::string v = "\"" + value + "\"";
  switch (k.kind) {
    case Kind::Words:
      if (WordIndex(k, value) >= 0) return true;
      error = std::string(k.name) + ": " + v + " is not one of " + Joined(k.words);
      return false;
    case Kind::WaterMark: {
      const int n = Number(value);
      if (Lower(value) == "off" || (n >= 1 && n <= 255)) return true;
      error = std::string(k.name) + ": " + v + " is neither off nor an image number 1..255";
      return false;
    }
    case Kind::CutAdjust: {
      const int n = Number(value);
      if (Lower(value) == "off" || (n >= 0 && n <= 255)) return true;
      error = std::string(k.name) + ": " + v + " is neither off nor a number of lines 0..255";
      return false;
    }
    case Kind::CodePage: {
      const int n = Number(value);
      if (n >= 0 && n <= 255) return true;
      error = std::string(k.name) + ": " + v + " is not a code page number 0..255";
      return false;
    }
    case Kind::Margin: {
      const int n = Number(value);
      if (n >= 0 && n <= kMarginMaxDots) return true;
      error = std::string(k.name) + ": " + v + " is out of range 0..512 (dots)";
      return false;
    }
    case Kind::CustomCode: {
      std::uint32_t code = 0;
      if (ParseHexCode(value, code) > 0) return true;
      error = std::string(k.name) + ": " + v +
              " is not 1 to 8 upper-case hexadecimal digits (0-9, A-F)";
      return false;
    }
  }
  return false;
}

bool Offered(const KeyDef& k, const CSettingModel& m) {
  switch (k.offer) {
    case Offer::Always:
      return true;
    case Offer::NewOptions:
      return m.NewOptionsShown();
    case Offer::KitchenBell:
      return m.NewOptionsShown() && m.BellControlsEnabled();
    case Offer::UsbMode:
      return m.UsbModeEnabled();
    case Offer::BellControls:
      return m.BellControlsEnabled();
    case Offer::WifiKeep:
      return m.WifiKeepEnabled();
  }
  return false;
}

// Applies one checked value through the model's rules; false with error on a refusal.
bool Apply(CSettingModel& m, const KeyDef& k, const std::string& value, std::string& error) {
  const int n = Number(value);
  switch (k.kind) {
    case Kind::WaterMark:
      if (n > 0) m.m_nImageNo = n;
      m.ClickWaterMark(n > 0 ? 1 : 0);
      return true;
    case Kind::CutAdjust:
      if (n >= 0) m.m_nCutLines = n;
      m.ClickCutAdjust(n >= 0 ? 1 : 0);
      return true;
    case Kind::CodePage:
      m.m_nCodePage = m.ChangeCodePage(n, false);
      if (m.m_nCodePage >= 0) return true;
      error = std::string(k.name) + ": " + value + " is not in the code page list";
      return false;
    case Kind::Margin:
      m.m_nLeftMargin = n;
      return true;
    case Kind::CustomCode:
      m.m_strCustomCode = value;
      return true;
    case Kind::Words:
      break;
  }
  const int index = WordIndex(k, value);
  switch (k.nSetting) {
    case kSetPaperWidth:
      if (k.member == &M::m_nPaperWidth) {
        m.ClickPaperWidth(index);
        return true;
      }
      break;
    case kSetPaperType:
      m.ClickPaperType(index);
      return true;
    case kSetStopBit:
      m.ClickStopBit(index);
      return true;
    case kSetBell:
      if (k.member == &M::m_nBellType) {
        m.SelectBellType(index);
        return true;
      }
      break;
    case kSetNvGraphic:
    case kSetNvUser:
      if (k.nSetting == kSetNvGraphic ? m.SelectNvGraphic(index) : m.SelectNvUser(index)) {
        return true;
      }
      error = std::string(k.name) + "=" + value + ": NV user memory plus NV graphic memory (" +
              std::to_string(m.NvUserKB()) + " + " + std::to_string(m.NvGraphicKB()) +
              " KB) may not exceed 448 KB";
      return false;
    case kSetReceiveBuffer:
      if (static_cast<std::size_t>(index) >= m.ReceiveBuffers().size()) {
        error = std::string(k.name) + ": " + value + " is not in the receive buffer list (" +
                Joined(m.ReceiveBuffers()) + ")";
        return false;
      }
      break;
    default:
      break;
  }
  m.*k.member = index;
  return true;
}

// A checked value as ValueText spells it back.
std::string Canonical(const KeyDef& k, const std::string& value) {
  if (k.kind == Kind::CustomCode) return value;
  const int n = Number(value);
  if (k.kind != Kind::Words && n >= 0) return std::to_string(n);
  if (k.kind == Kind::Words) return k.words[static_cast<std::size_t>(WordIndex(k, value))];
  return Lower(value);
}

std::string ValueText(const CSettingModel& m, const KeyDef& k) {
  switch (k.kind) {
    case Kind::WaterMark:
      if (m.m_nWaterMark < 0) return {};
      return m.m_nWaterMark == 0 ? "off" : std::to_string(m.m_nImageNo);
    case Kind::CutAdjust:
      if (m.m_nCutAdjust < 0) return {};
      return m.m_nCutAdjust == 0 ? "off" : std::to_string(m.m_nCutLines);
    case Kind::CodePage:
      return m.m_nCodePage < 0 ? std::string()
                               : std::to_string(m.ChangeCodePage(m.m_nCodePage, true));
    case Kind::Margin:
      return std::to_string(m.m_nLeftMargin);
    case Kind::CustomCode:
      return m.m_strCustomCode;
    case Kind::Words:
      break;
  }
  const int index = m.*k.member;
  if (index < 0 || static_cast<std::size_t>(index) >= k.words.size()) return {};
  // The column count means something with 58mm paper only.
  if (k.member == &M::m_nColumns && m.m_nPaperWidth != 1) return {};
  return k.words[static_cast<std::size_t>(index)];
}

}  // namespace

const std::vector<std::string>& SettingKeyNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const auto& k : Keys()) v.emplace_back(k.name);
    return v;
  }();
  return names;
}

std::string KeyOfSetting(int nSetting) {
  for (const auto& k : Keys()) {
    if (k.nSetting == nSetting) return k.name;
  }
  return {};
}

std::string SettingLabel(int nSetting) {
  for (const auto& k : Keys()) {
    if (k.nSetting == nSetting) return k.label;
  }
  return {};
}

bool ParseKeyValueArg(const std::string& arg, SettingKeyValue& out, std::string& error) {
  const std::size_t eq = arg.find('=');
  if (eq == std::string::npos || eq == 0) {
    error = "expected KEY=VALUE, got \"" + arg + "\"";
    return false;
  }
  out.strKey = arg.substr(0, eq);
  out.strValue = arg.substr(eq + 1);
  if (!FindKey(out.strKey)) {
    error = "unknown setting \"" + out.strKey + "\" (settings: " + Joined(SettingKeyNames()) + ")";
    return false;
  }
  return true;
}

bool CheckSetting(const SettingKeyValue& kv, std::string& error) {
  const KeyDef* k = FindKey(kv.strKey);
  if (!k) {
    error = "unknown setting \"" + kv.strKey + "\" (settings: " + Joined(SettingKeyNames()) + ")";
    return false;
  }
  return CheckValue(*k, kv.strValue, error);
}

bool ApplySettings(CSettingModel& model, const std::vector<SettingKeyValue>& settings,
                   std::string& error) {
  std::set<std::string> given;
  std::string paperType, waterMark;
  for (const auto& kv : settings) {
    if (kv.strKey == "paper-type") paperType = Lower(kv.strValue);
    if (kv.strKey == "watermark") waterMark = Lower(kv.strValue);
    if (!CheckSetting(kv, error)) return false;
    if (!given.insert(kv.strKey).second) {
      error = kv.strKey + ": given more than once";
      return false;
    }
    if (!Offered(*FindKey(kv.strKey), model)) {
      error = kv.strKey + ": this printer model has no such setting";
      return false;
    }
  }
  if (paperType == "2color" && !waterMark.empty() && waterMark != "off") {
    error = "watermark=" + waterMark +
            " and paper-type=2color exclude each other: water mark print is impossible in "
            "two-colour print mode";
    return false;
  }
  // In key order, whatever order they came in: the paper width before its column count,
  // the paper type before the density and the water mark, the NV lists one after the other.
  CSettingModel result = model;
  for (const auto& k : Keys()) {
    const auto it = std::find_if(settings.begin(), settings.end(),
                                 [&](const SettingKeyValue& kv) { return kv.strKey == k.name; });
    if (it == settings.end()) continue;
    if (!Apply(result, k, it->strValue, error)) return false;
  }
  if (given.count("columns") && result.m_nPaperWidth != 1) {
    error = "columns: only 58mm paper has a column count (give paper-width=58 too)";
    return false;
  }
  // A value the rules' questions undid was not written as asked: say so instead of sending
  // something else.
  for (const auto& kv : settings) {
    const KeyDef& k = *FindKey(kv.strKey);
    if (ValueText(result, k) == Canonical(k, kv.strValue)) continue;
    error = kv.strKey + "=" + kv.strValue + ": not kept";
    if (k.nSetting == kSetWaterMark || k.nSetting == kSetPaperType) {
      error += " (water mark print is impossible in two-colour print mode)";
    }
    return false;
  }
  model = result;
  return true;
}

std::vector<SettingKeyValue> SettingsOf(const CSettingModel& model) {
  std::vector<SettingKeyValue> out;
  for (const auto& k : Keys()) {
    std::string v = ValueText(model, k);
    if (!v.empty()) out.push_back({k.name, std::move(v)});
  }
  return out;
}

}  // namespace torva
