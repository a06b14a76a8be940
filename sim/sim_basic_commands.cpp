#include "sim_basic_commands.h"

namespace torva::sim {

SimResult CGsIdCommand::Handle(std::span<const uint8_t> input, CSimPrinter& printer) {
  static constexpr uint8_t kPrefix[] = {0x1D, 0x49};
  switch (MatchPrefix(input, kPrefix)) {
    case PrefixMatch::No: return SimResult::NotMine();
    case PrefixMatch::Partial: return SimResult::NeedMore();
    case PrefixMatch::Full: break;
  }
  if (input.size() < 3) return SimResult::NeedMore();
  const uint8_t n = input[2];
  // n = 1 (or '1') asks for the printer model ID; other IDs are taken without an answer.
  if (n == 0x01 || n == 0x31) return SimResult::Consumed(3, {printer.Options().nStatusByte});
  return SimResult::Consumed(3);
}

SimResult CEscInitCommand::Handle(std::span<const uint8_t> input, CSimPrinter& printer) {
  static constexpr uint8_t kPrefix[] = {0x1B, 0x40};
  switch (MatchPrefix(input, kPrefix)) {
    case PrefixMatch::No: return SimResult::NotMine();
    case PrefixMatch::Partial: return SimResult::NeedMore();
    case PrefixMatch::Full: break;
  }
  printer.Reset();
  return SimResult::Consumed(2);
}

void RegisterBasicCommands(CSimPrinter& printer) {
  printer.AddCommand(std::make_unique<CGsIdCommand>());
  printer.AddCommand(std::make_unique<CEscInitCommand>());
}

}  // namespace torva::sim
