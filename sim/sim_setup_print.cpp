#include "sim_setup_print.h"

#include <cstdio>
#include <memory>

namespace torva::sim {
namespace {

class CColourCommand final : public ISimCommand {
 public:
  const char* Name() const override { return "GS ( N"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override {
    static constexpr uint8_t kPrefix[] = {0x1D, 0x28, 0x4E};
    switch (MatchPrefix(input, kPrefix)) {
      case PrefixMatch::No:
        return SimResult::NotMine();
      case PrefixMatch::Partial:
        return SimResult::NeedMore();
      case PrefixMatch::Full:
        break;
    }
    if (input.size() < 5) return SimResult::NeedMore();
    const size_t total = 5 + input[3] + 256u * input[4];
    if (input.size() < total) return SimResult::NeedMore();
    // The paper is grey only: the colour is noted, not drawn.
    if (printer.Options().bVerbose && total >= 7) {
      std::fprintf(stderr, "sim: colour %c\n", static_cast<char>(input[6]));
    }
    return SimResult::Consumed(total);
  }
};

class CCutCommand final : public ISimCommand {
 public:
  explicit CCutCommand(CNvStore& store) : m_store(store) {}
  const char* Name() const override { return "ESC i"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override {
    static constexpr uint8_t kFull[] = {0x1B, 0x69};
    static constexpr uint8_t kPartial[] = {0x1B, 0x6D};
    const PrefixMatch full = MatchPrefix(input, kFull);
    const PrefixMatch partial = MatchPrefix(input, kPartial);
    if (full == PrefixMatch::Full || partial == PrefixMatch::Full) {
      if (m_store.Cut() && printer.Options().bVerbose) {
        std::fprintf(stderr, "sim: cut -> %s\n", m_store.LastPaper().c_str());
      }
      return SimResult::Consumed(2);
    }
    if (full == PrefixMatch::Partial) return SimResult::NeedMore();
    return SimResult::NotMine();
  }

 private:
  CNvStore& m_store;
};

class CNulCommand final : public ISimCommand {
 public:
  const char* Name() const override { return "NUL"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter&) override {
    size_t n = 0;
    while (n < input.size() && input[n] == 0x00) ++n;
    return n == 0 ? SimResult::NotMine() : SimResult::Consumed(n);
  }
};

}  // namespace

void RegisterSetupPrintCommands(CSimPrinter& printer, CNvStore& store) {
  printer.AddCommand(std::make_unique<CColourCommand>());
  printer.AddCommand(std::make_unique<CCutCommand>(store));
  printer.AddCommand(std::make_unique<CNulCommand>());
}

}  // namespace torva::sim
