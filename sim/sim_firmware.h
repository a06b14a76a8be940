// The simulated printer's firmware block receiver: a block starts with 01 11 A 30 (A names
// the area), then its size (4 bytes, little-endian) and its checksum (2 bytes), then the
// data. The receiver knows each area's size, waits for the whole block, adds up its data
// and reports: a line on stderr and, with a paper folder, a receipt PNG
// "firmware area NAME received, checksum XXXX ok" (or "BAD").
#pragma once

#include <string>

#include "sim_command.h"

namespace torva::sim {

class CFirmwareBlockCommand final : public ISimCommand {
 public:
  explicit CFirmwareBlockCommand(std::string paperDir) : m_strPaperDir(std::move(paperDir)) {}
  const char* Name() const override { return "firmware block"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;
  // The report line of the last block ("firmware area Program received, checksum F60A ok").
  const std::string& LastReport() const { return m_strLast; }

 private:
  std::string m_strPaperDir;
  std::string m_strLast;
  int m_nReceipts = 0;
};

void RegisterFirmwareCommands(CSimPrinter& printer, const std::string& paperDir);

}  // namespace torva::sim
