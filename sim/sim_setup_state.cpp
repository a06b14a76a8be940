#include "sim_setup_state.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace torva::sim {
namespace {

using Accept = bool (*)(uint8_t nL, uint8_t nH);
using Reply = std::string (*)(uint8_t nL, uint8_t nH, uint32_t n);

struct SettingRow {
  int a;
  uint32_t nDefault;
  Accept accepts;
  Reply reply;  // nullptr: the setting does not answer reads
};

std::string Dec(uint32_t v) { return std::to_string(v); }
constexpr uint32_t N(uint8_t nL, uint8_t nH) { return nL + 256u * nH; }

// A setting whose low byte is one of a few states and whose high byte is fixed.
template <uint8_t kLo, uint8_t kHi, uint8_t kHigh>
bool LowIn(uint8_t nL, uint8_t nH) {
  return nL >= kLo && nL <= kHi && nH == kHigh;
}
std::string LowText(uint8_t nL, uint8_t, uint32_t) { return Dec(nL); }
std::string WholeText(uint8_t, uint8_t, uint32_t n) { return Dec(n); }

const SettingRow kRows[] = {
    {1, N(1, 0), LowIn<1, 5, 0>, LowText},  // NV user memory 64..320 KB
    {2, N(7, 0), LowIn<1, 7, 0>, LowText},  // NV graphic memory 0..384 KB
    {3, N(6, 0), [](uint8_t l, uint8_t h) { return (l == 2 || l == 3 || l == 6) && h == 0; },
     LowText},  // paper width and columns
    {116, N(1, 0), [](uint8_t l, uint8_t h) { return l == 1 && h <= 1; }, WholeText},
    {118, N(85, 0), [](uint8_t l, uint8_t h) { return (l == 70 || l == 85 || l == 100) && h == 0; },
     LowText},
    // Water mark: image number in the high byte, 0 for off.
    {242, N(0, 0), [](uint8_t l, uint8_t) { return l == 0; },
     [](uint8_t, uint8_t h, uint32_t) { return h == 0 ? std::string("0") : "1" + Dec(h); }},
    // Cutting position: on with the lines in the high byte, or off.
    {243, N(0, 0), [](uint8_t l, uint8_t h) { return l == 1 || (l == 0 && h == 0); },
     [](uint8_t l, uint8_t h, uint32_t) { return l == 0 ? std::string("0") : "1" + Dec(h); }},
    {244, N(0, 0), [](uint8_t l, uint8_t h) { return l == 0 && h <= 1; },
     [](uint8_t, uint8_t h, uint32_t) { return Dec(h); }},
    // Kitchen bell: type code and times, answered as two digits.
    {245, N(1, 3), [](uint8_t l, uint8_t h) { return l <= 4 && h >= 1 && h <= 5; },
     [](uint8_t l, uint8_t h, uint32_t) { return Dec(l) + Dec(h); }},
    {246, N(0, 0), [](uint8_t, uint8_t h) { return h == 0; }, LowText},  // code page number
    {247, N(0, 1), LowIn<0, 1, 1>, LowText},                             // cutting mode
    {248, N(1, 1), LowIn<0, 1, 1>, LowText},                             // bold font (1: off)
    {249, N(220, 0),
     [](uint8_t l, uint8_t h) {
       const uint32_t n = N(l, h);
       return n == 220 || n == 200 || n == 180 || n == 150;
     },
     WholeText},
    // Left margin in dots: answered as the high byte's digit, then the low byte's number.
    {250, N(0, 0), [](uint8_t l, uint8_t h) { return N(l, h) <= 512; },
     [](uint8_t l, uint8_t h, uint32_t) { return Dec(h) + Dec(l); }},
    {251, N(1, 1), LowIn<0, 1, 1>, LowText},  // drawer in self-test (1: disable)
    // Receive buffer: two ASCII digits, kept and answered as they came.
    {252, N('0', '4'),
     [](uint8_t l, uint8_t h) {
       const uint32_t n = N(l, h);
       return n == N('6', '4') || n == N('3', '2') || n == N('2', '0') || n == N('0', '4');
     },
     [](uint8_t l, uint8_t h, uint32_t) {
       return std::string{static_cast<char>(l), static_cast<char>(h)};
     }},
    {253, N(0, 1), LowIn<0, 1, 1>, LowText},  // stop bit
    {255, 0, nullptr, WholeText},             // customer setup code, 32 bits
    // The newer options are written only.
    {199, N(0, 0x0A), LowIn<0, 1, 0x0A>, nullptr},  // WiFi keep-connection
    {204, N(2, 0), LowIn<1, 2, 0>, nullptr},        // emulation
    {205, N(2, 0), LowIn<1, 2, 0>, nullptr},        // kitchen bell
    {206, N(1, 0), LowIn<1, 2, 0>, nullptr},        // auto cut
    {207, N(2, 0), LowIn<1, 2, 0>, nullptr},        // self-test mode
    {208, N(2, 0), LowIn<1, 4, 0>, nullptr},        // print density level
    {210, N(1, 0), LowIn<1, 2, 0>, nullptr},        // USB mode
    {212, N(0, 0), LowIn<0, 3, 0>, nullptr},        // sleep
    {213, N(0, 0), LowIn<0, 2, 0>, nullptr},        // paper save
    {214, N(0xFF, 0), [](uint8_t l, uint8_t h) { return (l == 0 || l == 0xFF) && h == 0; },
     nullptr},  // LCD password
};

const SettingRow* Row(int a) {
  for (const auto& r : kRows) {
    if (r.a == a) return &r;
  }
  return nullptr;
}

// The flat object of the state file: "number": unsigned integer pairs.
bool ParseFlatObject(const std::string& text, std::map<int, uint64_t>& out, std::string& error) {
  size_t i = 0;
  auto ws = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) ++i;
  };
  auto fail = [&](const char* what) {
    error = std::string(what) + " at offset " + std::to_string(i);
    return false;
  };
  auto number = [&](uint64_t& v) {
    const size_t start = i;
    v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
      if (i - start >= 10) return false;
      v = v * 10 + static_cast<uint64_t>(text[i++] - '0');
    }
    return i > start;
  };
  ws();
  if (i >= text.size() || text[i++] != '{') return fail("expected {");
  ws();
  if (i < text.size() && text[i] == '}')
    ++i;
  else {
    for (;;) {
      ws();
      uint64_t key = 0, value = 0;
      if (i >= text.size() || text[i++] != '"') return fail("expected a quoted setting number");
      if (!number(key) || i >= text.size() || text[i++] != '"') return fail("bad setting number");
      ws();
      if (i >= text.size() || text[i++] != ':') return fail("expected :");
      ws();
      if (!number(value)) return fail("expected an unsigned number");
      out[static_cast<int>(key)] = value;
      ws();
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      if (i < text.size() && text[i] == '}') {
        ++i;
        break;
      }
      return fail("expected , or }");
    }
  }
  ws();
  if (i != text.size()) return fail("text after the object");
  return true;
}

}  // namespace

CSetupState::CSetupState() {
  for (const auto& r : kRows) m_values[r.a] = r.nDefault;
}

bool CSetupState::Known(int a) { return Row(a) != nullptr; }

bool CSetupState::Accepts(int a, uint32_t n) {
  const SettingRow* r = Row(a);
  if (r == nullptr) return false;
  if (r->accepts == nullptr) return true;
  return n <= 0xFFFF && r->accepts(static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8));
}

bool CSetupState::Set(int a, uint32_t n) {
  if (!Accepts(a, n)) return false;
  m_values[a] = n;
  return true;
}

std::optional<uint32_t> CSetupState::Get(int a) const {
  const auto it = m_values.find(a);
  if (it == m_values.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> CSetupState::ReplyText(int a) const {
  const SettingRow* r = Row(a);
  if (r == nullptr || r->reply == nullptr) return std::nullopt;
  const uint32_t n = m_values.at(a);
  return r->reply(static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>((n >> 8) & 0xFF), n);
}

bool CSetupState::Load(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::map<int, uint64_t> read;
  if (!ParseFlatObject(text.str(), read, error)) {
    error = path + ": " + error;
    return false;
  }
  for (const auto& [a, n] : read) {
    if (!Known(a)) {
      error = path + ": no setting " + std::to_string(a);
      return false;
    }
    if (n > 0xFFFFFFFFull || !Accepts(a, static_cast<uint32_t>(n))) {
      error = path + ": setting " + std::to_string(a) + " does not take " + std::to_string(n);
      return false;
    }
  }
  for (const auto& [a, n] : read) m_values[a] = static_cast<uint32_t>(n);
  return true;
}

std::string CSetupState::ToJson() const {
  std::string out = "{\n";
  for (auto it = m_values.begin(); it != m_values.end(); ++it) {
    out += "  \"" + Dec(static_cast<uint32_t>(it->first)) + "\": " + Dec(it->second);
    out += std::next(it) == m_values.end() ? "\n" : ",\n";
  }
  return out + "}\n";
}

bool CSetupState::Save(const std::string& path) const {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << ToJson();
    if (!out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

}  // namespace torva::sim
