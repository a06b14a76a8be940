#include "sim_firmware.h"

#include <cstdio>

#include "sim_paper.h"
#include "sim_printer.h"

namespace torva::sim {
namespace {

struct SimArea {
  uint8_t id;
  const char* name;
  uint32_t size;
};

// The printer's own table: the area byte of the header and the block size it expects.
constexpr SimArea kSimAreas[] = {
    {0x51, "Program", 0xD0000},   {0x52, "Program", 0x98000},  {0x46, "Ext. Font", 0x100000},
    {0xBB, "LCD font", 0x200000}, {0x44, "DOWNLOAD", 0x18000}, {0x42, "Boot", 0x15000},
};

const SimArea* AreaOf(uint8_t id) {
  for (const SimArea& a : kSimAreas) {
    if (a.id == id) return &a;
  }
  return nullptr;
}

uint32_t Le32(std::span<const uint8_t> p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

SimResult CFirmwareBlockCommand::Handle(std::span<const uint8_t> input, CSimPrinter&) {
  if (input.empty() || input[0] != 0x01) return SimResult::NotMine();
  if (input.size() >= 2 && input[1] != 0x11) return SimResult::NotMine();
  if (input.size() >= 3 && AreaOf(input[2]) == nullptr) return SimResult::NotMine();
  if (input.size() >= 4 && input[3] != 0x30) return SimResult::NotMine();
  if (input.size() < 8) return SimResult::NeedMore();
  const SimArea& area = *AreaOf(input[2]);
  const uint32_t size = Le32(input.subspan(4));
  if (size != area.size) {
    m_strLast = "firmware area " + std::string(area.name) + ": size " + std::to_string(size) +
                " is not " + std::to_string(area.size) + ", BAD";
    std::fprintf(stderr, "sim: %s\n", m_strLast.c_str());
    return SimResult::Consumed(8);
  }
  if (input.size() < size) return SimResult::NeedMore();
  uint32_t sum = 0;
  for (size_t i = 10; i < size; ++i) sum += input[i];
  const unsigned expected = input[8] | input[9] << 8;
  bool ok = (sum & 0xFFFF) == expected;
  if (area.id == 0x42) {
    ok = ok && input[size - 4] == 0x00 && input[size - 3] == 0x80 && input[size - 2] == 0xFE &&
         input[size - 1] == 0xFF;
  }
  char text[96];
  std::snprintf(text, sizeof text, "firmware area %s received, checksum %X %s", area.name, expected,
                ok ? "ok" : "BAD");
  m_strLast = text;
  std::fprintf(stderr, "sim: %s\n", text);
  if (!m_strPaperDir.empty()) {
    CPaper paper(CPaper::TextWidth(m_strLast) + CPaper::kCellWidth);
    paper.Feed(CPaper::kCellHeight);
    paper.PrintText(m_strLast);
    paper.Feed(CPaper::kCellHeight);
    char name[48];
    std::snprintf(name, sizeof name, "/firmware-%04d.png", ++m_nReceipts);
    if (!paper.WritePng(m_strPaperDir + name)) {
      std::fprintf(stderr, "torva-printer-sim: cannot write %s%s\n", m_strPaperDir.c_str(), name);
    }
  }
  return SimResult::Consumed(size);
}

void RegisterFirmwareCommands(CSimPrinter& printer, const std::string& paperDir) {
  printer.AddCommand(std::make_unique<CFirmwareBlockCommand>(paperDir));
}

}  // namespace torva::sim
