// The commands every simulated printer answers: GS I (printer ID, 1D 49 n) and ESC @
// (initialise, 1B 40).
#pragma once

#include "sim_printer.h"

namespace torva::sim {

class CGsIdCommand final : public ISimCommand {
 public:
  const char* Name() const override { return "GS I"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;
};

class CEscInitCommand final : public ISimCommand {
 public:
  const char* Name() const override { return "ESC @"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;
};

void RegisterBasicCommands(CSimPrinter& printer);

}  // namespace torva::sim
