#include "sim_legacy_fw.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "sim_paper.h"

namespace torva::sim {
namespace {

constexpr uint8_t kDle = 0x10, kAck = 0x06, kNak = 0x15;
constexpr size_t kMaxData = 512;

constexpr std::array<CLegacyFlash::Area, 3> kAreas = {{
    {"program", 0x20, 0x22, 0x1D0000, 0x1F0000},
    {"boot", 0x22, 0x23, 0x1F0000, 0x200000},
    {"font", 0x1C, 0x1E, 0x190000, 0x1B0000},
}};

uint32_t Be16(const uint8_t* p) { return (uint32_t{p[0]} << 8) | p[1]; }
uint32_t Be32(const uint8_t* p) { return (Be16(p) << 16) | Be16(p + 2); }

}  // namespace

const CLegacyFlash::Area* CLegacyFlash::AreaOf(uint8_t e0, uint8_t e1) {
  for (const auto& a : kAreas) {
    if (a.e0 == e0 && a.e1 == e1) return &a;
  }
  return nullptr;
}

uint32_t CLegacyFlash::Crc32(const std::vector<uint8_t>& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const uint8_t b : data) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::vector<uint8_t> CLegacyFlash::Ack() {
  ++m_nAcks;
  return {kDle, kAck};
}

std::vector<uint8_t> CLegacyFlash::Nak() {
  ++m_nNaks;
  ++m_nAreaNaks;
  return {kDle, kNak};
}

std::vector<uint8_t> CLegacyFlash::Frame(const uint8_t* f, size_t length) {
  const size_t n = length - 10;
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += f[8 + i];
  const bool sumOk = (sum & 0xFFFF) == Be16(f + 8 + n);
  if (f[1] == 0xF2) {
    const Area* area = AreaOf(f[2], f[3]);
    if (area == nullptr || Be32(f + 4) != 0 || !sumOk) return Nak();
    m_pArea = area;
    m_data.assign(area->nEnd - area->nStart, 0xFF);
    m_nExpected = area->nStart;
    m_nLastAccepted = -1;
    m_nLastRefused = 0;
    m_nFrames = 0;
    m_nAreaNaks = 0;
    return Ack();
  }
  const uint32_t address = Be32(f + 4);
  if (m_pArea == nullptr || !sumOk) return Nak();
  // The same frame again: its ACK did not arrive. Acknowledge, do not write twice.
  if (static_cast<int64_t>(address) == m_nLastAccepted && address != m_nExpected) return Ack();
  if (address != m_nExpected || address + n > m_pArea->nEnd) return Nak();
  const bool last = address + n == m_pArea->nEnd;
  if ((f[1] == 0xF1) != last) return Nak();
  const int index = static_cast<int>((address - m_pArea->nStart) / kMaxData) + 1;
  if (index == m_options.nNakFrame) return Nak();
  if (m_options.nNakEvery > 0 && index % m_options.nNakEvery == 0 && m_nLastRefused != index) {
    m_nLastRefused = index;
    return Nak();
  }
  std::copy(f + 8, f + 8 + n, m_data.begin() + (address - m_pArea->nStart));
  m_nLastAccepted = address;
  m_nExpected = address + static_cast<uint32_t>(n);
  ++m_nFrames;
  if (last) Finish();
  return Ack();
}

void CLegacyFlash::Finish() {
  const std::string name = m_pArea->name;
  m_flashed[name] = m_data;
  char line[4][64];
  std::snprintf(line[0], sizeof line[0], "AREA %s %06X-%06X", name.c_str(),
                static_cast<unsigned>(m_pArea->nStart), static_cast<unsigned>(m_pArea->nEnd));
  std::snprintf(line[1], sizeof line[1], "BYTES %zu", m_data.size());
  std::snprintf(line[2], sizeof line[2], "CRC32 %08X", static_cast<unsigned>(Crc32(m_data)));
  std::snprintf(line[3], sizeof line[3], "FRAMES %d NAK %d", m_nFrames, m_nAreaNaks);
  m_pArea = nullptr;
  if (m_strPaperDir.empty()) return;
  const std::string base = m_strPaperDir + "/flash-" + name;
  if (std::FILE* bin = std::fopen((base + ".bin").c_str(), "wb")) {
    std::fwrite(m_data.data(), 1, m_data.size(), bin);
    std::fclose(bin);
  }
  CPaper paper(CPaper::kMinWidth);
  paper.PrintText("FIRMWARE WRITTEN");
  if (std::FILE* txt = std::fopen((base + ".txt").c_str(), "w")) {
    for (const auto& l : line) {
      std::fprintf(txt, "%s\n", l);
      paper.PrintText(l);
    }
    std::fclose(txt);
  }
  paper.Feed(CPaper::kCellHeight);
  if (!paper.WritePng(base + ".png")) {
    std::fprintf(stderr, "torva-printer-sim: cannot write %s.png\n", base.c_str());
  }
}

SimResult CLegacyFwCommand::Handle(std::span<const uint8_t> input, CSimPrinter&) {
  if (input.empty() || input[0] != 0x40) return SimResult::NotMine();
  if (input.size() < 2) return SimResult::NeedMore();
  const uint8_t cmd = input[1];
  if (cmd != 0xF0 && cmd != 0xF1 && cmd != 0xF2) return SimResult::NotMine();
  if (input.size() < 4) return SimResult::NeedMore();
  size_t n = 0;
  if (cmd != 0xF2) {
    n = Be16(input.data() + 2);
    // A length no frame has: drop the two command bytes and look again from there.
    if (n == 0 || n > kMaxData) return SimResult::Consumed(2, {kDle, kNak});
  }
  if (input.size() < n + 10) return SimResult::NeedMore();
  return SimResult::Consumed(n + 10, m_flash.Frame(input.data(), n + 10));
}

void RegisterLegacyFwCommands(CSimPrinter& printer, CLegacyFlash& flash) {
  printer.AddCommand(std::make_unique<CLegacyFwCommand>(flash));
}

bool ParseLegacyFwOption(const std::vector<std::string>& args, size_t& i, LegacyFwOptions& options,
                         std::string& error) {
  const std::string& a = args[i];
  int* target = nullptr;
  std::string name;
  for (const char* option : {"--legacy-nak-every", "--legacy-nak-frame"}) {
    const std::string o = option;
    if (a == o || a.rfind(o + "=", 0) == 0) name = o;
  }
  if (name.empty()) return false;
  target = name == "--legacy-nak-every" ? &options.nNakEvery : &options.nNakFrame;
  std::string value;
  if (a.size() > name.size()) {
    value = a.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  }
  char* end = nullptr;
  const long v = std::strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || v < 1 || v > 100000) {
    error = name + " needs a whole number of frames (1 or more)";
    return true;
  }
  *target = static_cast<int>(v);
  return true;
}

const char* LegacyFwOptionHelp() {
  return "  --legacy-nak-every N refuse (DLE NAK) every Nth TORVA10 firmware frame once\n"
         "  --legacy-nak-frame K refuse TORVA10 firmware frame K every time\n"
         "                       (--silent: answer no firmware frame at all)\n";
}

}  // namespace torva::sim
