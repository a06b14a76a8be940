#include "sim_setup.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "sim_setup_print.h"

namespace torva::sim {
namespace {

constexpr uint8_t kGs = 0x1D;

bool Same(std::span<const uint8_t> data, const char* text) {
  const std::string t(text);
  return data.size() == t.size() && std::equal(data.begin(), data.end(), t.begin());
}

// While the printer restarts, everything that arrives is lost.
class CRestartGate final : public ISimCommand {
 public:
  explicit CRestartGate(CSimSetup& setup) : m_setup(setup) {}
  const char* Name() const override { return "restarting"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter&) override {
    if (!m_setup.Restarting()) return SimResult::NotMine();
    return SimResult::Consumed(input.size());
  }

 private:
  CSimSetup& m_setup;
};

class CUserSettingCommand final : public ISimCommand {
 public:
  explicit CUserSettingCommand(CSimSetup& setup) : m_setup(setup) {}
  const char* Name() const override { return "GS ( E"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;

 private:
  CSimSetup& m_setup;
};

SimResult CUserSettingCommand::Handle(std::span<const uint8_t> input, CSimPrinter& printer) {
  static constexpr uint8_t kPrefix[] = {kGs, 0x28, 0x45};
  switch (MatchPrefix(input, kPrefix)) {
    case PrefixMatch::No:
      return SimResult::NotMine();
    case PrefixMatch::Partial:
      return SimResult::NeedMore();
    case PrefixMatch::Full:
      break;
  }
  if (input.size() < 5) return SimResult::NeedMore();
  const size_t length = input[3] + 256u * input[4];
  const size_t total = 5 + length;
  if (input.size() < total) return SimResult::NeedMore();
  if (length == 0) return SimResult::Consumed(total);
  const bool verbose = printer.Options().bVerbose;
  const uint8_t fn = input[5];
  const std::span<const uint8_t> data = input.subspan(6, length - 1);
  switch (fn) {
    case 1:
      if (Same(data, "IN")) m_setup.Enter();
      break;
    case 2:
      if (Same(data, "OUT") && m_setup.InSettingMode()) m_setup.Leave();
      break;
    case 5:
      if (!m_setup.InSettingMode()) {
        if (verbose) std::fprintf(stderr, "sim: GS ( E 5 outside the setting mode, ignored\n");
        break;
      }
      m_setup.Write(data, verbose);
      break;
    case 6: {
      if (data.size() != 1) break;
      std::vector<uint8_t> answer = m_setup.Answer(data[0]);
      if (verbose)
        std::fprintf(stderr, "sim: GS ( E 6 %d: %zu answer bytes\n", data[0], answer.size());
      const SetupSimOptions& o = m_setup.Options();
      if (answer.empty() || (o.nReplyDelayMs == 0 && o.nReplySplit == 0)) {
        return SimResult::Consumed(total, std::move(answer));
      }
      const size_t piece = o.nReplySplit > 0 ? static_cast<size_t>(o.nReplySplit) : answer.size();
      const std::chrono::milliseconds delay(o.nReplyDelayMs);
      const std::chrono::milliseconds gap = o.nReplyDelayMs > 0 ? delay : CSimSetup::kPieceGap;
      for (size_t at = 0, k = 0; at < answer.size(); at += piece, ++k) {
        const size_t n = std::min(piece, answer.size() - at);
        printer.SendLater(
            delay + static_cast<int>(k) * gap,
            std::vector<uint8_t>(answer.begin() + static_cast<std::ptrdiff_t>(at),
                                 answer.begin() + static_cast<std::ptrdiff_t>(at + n)));
      }
      break;
    }
    default:
      if (verbose) std::fprintf(stderr, "sim: GS ( E function %d ignored\n", fn);
      break;
  }
  return SimResult::Consumed(total);
}

class CStatusBackCommand final : public ISimCommand {
 public:
  explicit CStatusBackCommand(CSimSetup& setup) : m_setup(setup) {}
  const char* Name() const override { return "GS a"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter&) override {
    static constexpr uint8_t kPrefix[] = {kGs, 0x61};
    switch (MatchPrefix(input, kPrefix)) {
      case PrefixMatch::No:
        return SimResult::NotMine();
      case PrefixMatch::Partial:
        return SimResult::NeedMore();
      case PrefixMatch::Full:
        break;
    }
    if (input.size() < 3) return SimResult::NeedMore();
    m_setup.SetStatusBack(input[2] != 0);
    return SimResult::Consumed(3);
  }
  void Poll(CSimPrinter& printer) override { m_setup.PollStatus(printer); }

 private:
  CSimSetup& m_setup;
};

}  // namespace

CSimSetup::CSimSetup(SetupSimOptions options)
    : m_options(std::move(options)), m_bStatusBack(m_options.bParallel) {}

bool CSimSetup::Start(std::string& error) {
  if (!m_options.strSettingsIn.empty() && !m_state.Load(m_options.strSettingsIn, error)) {
    return false;
  }
  if (!m_options.strSettingsOut.empty() && !m_state.Save(m_options.strSettingsOut)) {
    error = "cannot write " + m_options.strSettingsOut;
    return false;
  }
  return true;
}

void CSimSetup::SaveState() {
  if (m_options.strSettingsOut.empty() || m_state.Save(m_options.strSettingsOut)) return;
  std::fprintf(stderr, "torva-printer-sim: cannot write %s\n", m_options.strSettingsOut.c_str());
}

void CSimSetup::Enter() { m_bMode = true; }

void CSimSetup::Leave() {
  m_bMode = false;
  ++m_nRestarts;
  m_restartEnd = SimClock::now() + std::chrono::milliseconds(m_options.nRestartMs);
  // A fresh start: status back as after power-on.
  m_bStatusBack = m_options.bParallel;
  ++m_nEpoch;
}

bool CSimSetup::Write(std::span<const uint8_t> entries, bool verbose) {
  struct Entry {
    int a;
    uint32_t n;
  };
  std::vector<Entry> parsed;
  size_t i = 0;
  while (i < entries.size()) {
    const int a = entries[i];
    if (a == 255) {
      if (entries.size() - i < 6 || entries[i + 5] != 0x04) break;
      const uint32_t n = entries[i + 1] | entries[i + 2] << 8 | entries[i + 3] << 16 |
                         static_cast<uint32_t>(entries[i + 4]) << 24;
      parsed.push_back({a, n});
      i += 6;
    } else {
      if (entries.size() - i < 3) break;
      parsed.push_back({a, entries[i + 1] + 256u * entries[i + 2]});
      i += 3;
    }
  }
  if (i != entries.size()) {
    ++m_nRefused;
    if (verbose) std::fprintf(stderr, "sim: GS ( E 5 refused: entry at %zu does not fit\n", i);
    return false;
  }
  for (const Entry& e : parsed) {
    const bool taken = m_state.Set(e.a, e.n);
    if (verbose) {
      std::fprintf(stderr, "sim: GS ( E 5 setting %d = %u%s\n", e.a, e.n,
                   taken ? "" : " not taken");
    }
  }
  ++m_nWrites;
  SaveState();
  return true;
}

std::vector<uint8_t> CSimSetup::Answer(int a) {
  const auto silent = m_options.unanswered.find(a);
  if (silent != m_options.unanswered.end() && silent->second != 0) {
    if (silent->second > 0) --silent->second;
    return {};
  }
  std::optional<std::string> text;
  const auto chosen = m_options.replyTexts.find(a);
  if (chosen != m_options.replyTexts.end()) {
    text = chosen->second;
  } else {
    text = m_state.ReplyText(a);
  }
  if (!text) return {};
  std::vector<uint8_t> frame{0x37, 0x27};
  for (char c : std::to_string(a)) frame.push_back(static_cast<uint8_t>(c));
  frame.push_back(0x1F);
  frame.insert(frame.end(), text->begin(), text->end());
  frame.push_back(0x00);
  return frame;
}

void CSimSetup::SetStatusBack(bool on) {
  if (on && !m_bStatusBack) ++m_nEpoch;
  m_bStatusBack = on;
}

void CSimSetup::PollStatus(CSimPrinter& printer) {
  if (!m_bStatusBack || printer.Serving() == nullptr) return;
  const SimClock::time_point now = SimClock::now();
  if (now < m_restartEnd) {
    printer.WakeAt(m_restartEnd);
    return;
  }
  StatusRound& round = m_rounds[printer.Serving()];
  if (round.nEpoch != m_nEpoch) round = {m_nEpoch, 0, now};
  if (round.nSent >= kStatusBlocks) return;
  if (now >= round.next) {
    printer.SendLater(std::chrono::milliseconds(0), {0x14, 0x00, 0x00, 0x0F});
    ++round.nSent;
    round.next = now + kStatusPeriod;
  }
  if (round.nSent < kStatusBlocks) printer.WakeAt(round.next);
}

void RegisterSetupCommands(CSimPrinter& printer, CSimSetup& setup, CNvStore& store) {
  printer.AddCommand(std::make_unique<CRestartGate>(setup));
  printer.AddCommand(std::make_unique<CUserSettingCommand>(setup));
  printer.AddCommand(std::make_unique<CStatusBackCommand>(setup));
  RegisterSetupPrintCommands(printer, store);
}

}  // namespace torva::sim
