// One printer command the simulator understands. The printer offers each handler the bytes
// received and not yet consumed, starting at a command boundary; the first handler that
// consumes them wins. A new command is a new ISimCommand in a file of its own, registered
// in main.cpp (see sim_basic_commands.h for the pattern).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace torva::sim {

class CSimPrinter;

struct SimResult {
  enum class Kind {
    NotMine,   // these bytes do not start this command
    NeedMore,  // they may, but the command is not complete yet
    Consumed,  // the command took nConsumed bytes and answers reply (may be empty)
  };
  Kind eKind = Kind::NotMine;
  size_t nConsumed = 0;
  std::vector<uint8_t> reply;

  static SimResult NotMine() { return {}; }
  static SimResult NeedMore() { return {Kind::NeedMore, 0, {}}; }
  static SimResult Consumed(size_t n, std::vector<uint8_t> answer = {}) {
    return {Kind::Consumed, n, std::move(answer)};
  }
};

// For commands that begin with fixed bytes: whether the input starts with prefix (Full),
// is a shorter piece of it (Partial: wait for more), or differs (No).
enum class PrefixMatch { No, Partial, Full };
inline PrefixMatch MatchPrefix(std::span<const uint8_t> input, std::span<const uint8_t> prefix) {
  const size_t n = input.size() < prefix.size() ? input.size() : prefix.size();
  for (size_t i = 0; i < n; ++i) {
    if (input[i] != prefix[i]) return PrefixMatch::No;
  }
  return input.size() < prefix.size() ? PrefixMatch::Partial : PrefixMatch::Full;
}

class ISimCommand {
 public:
  virtual ~ISimCommand() = default;
  // A short name for the log and the statistics ("GS I", "ESC @").
  virtual const char* Name() const = 0;
  virtual SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) = 0;
  // The printer was initialised (ESC @): forget any state of this command.
  virtual void Reset() {}
  // Asked now and then for each connection: a command that sends by itself (a status
  // report) queues its bytes with CSimPrinter::SendLater and asks for its next turn with
  // CSimPrinter::WakeAt.
  virtual void Poll(CSimPrinter&) {}
};

}  // namespace torva::sim
