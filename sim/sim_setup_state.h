// The printer's persistent user settings, as the printer itself keeps them: for each
// setting number a the value n = nL + 256 * nH that the last accepted write carried (for
// the customer setup code, 255, its 32-bit value). It knows which values each setting
// accepts, which settings answer a read and in which text form, and the factory
// defaults. The state file is a flat JSON object from setting number to n, for example
// {"3": 6, "250": 300}; it is written whole and then renamed, so a reader never sees half.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace torva::sim {

class CSetupState {
 public:
  // The factory defaults.
  CSetupState();

  // Whether a is a setting of this printer.
  static bool Known(int a);
  // Whether the write value is one the setting takes (255 takes every 32-bit value).
  static bool Accepts(int a, uint32_t n);

  // Stores n when the setting takes it; false (nothing changed) otherwise.
  bool Set(int a, uint32_t n);
  std::optional<uint32_t> Get(int a) const;
  const std::map<int, uint32_t>& Values() const { return m_values; }

  // The reply text of a read, or nothing for a setting that does not answer reads.
  std::optional<std::string> ReplyText(int a) const;

  // Reads a state file over the defaults: every key must be a known setting and every
  // value one it takes. False with the reason in error (nothing changed then).
  bool Load(const std::string& path, std::string& error);
  // The whole state as JSON, one setting a line.
  std::string ToJson() const;
  bool Save(const std::string& path) const;

 private:
  std::map<int, uint32_t> m_values;
};

}  // namespace torva::sim
