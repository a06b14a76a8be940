#include "sim_printer.h"

namespace torva::sim {

CSimPrinter::CSimPrinter(SimPrinterOptions options) : m_options(std::move(options)) {
  if (!m_options.strCapturePath.empty()) {
    m_pCapture = std::fopen(m_options.strCapturePath.c_str(), "ab");
    if (m_pCapture == nullptr) {
      std::fprintf(stderr, "torva-printer-sim: cannot open capture file %s\n",
                   m_options.strCapturePath.c_str());
    }
  }
}

CSimPrinter::~CSimPrinter() {
  if (m_pCapture != nullptr) std::fclose(m_pCapture);
}

void CSimPrinter::AddCommand(std::unique_ptr<ISimCommand> command) {
  m_commands.push_back(std::move(command));
}

void CSimPrinter::Reset() {
  for (auto& c : m_commands) c->Reset();
}

int CSimPrinter::CommandCount(const std::string& name) const {
  const auto it = m_counts.find(name);
  return it == m_counts.end() ? 0 : it->second;
}

void CSimPrinter::Capture(const uint8_t* data, size_t length) {
  if (m_pCapture == nullptr || length == 0) return;
  std::fwrite(data, 1, length, m_pCapture);
  // Through at once: a test reads the file while the simulator runs.
  std::fflush(m_pCapture);
}

std::vector<uint8_t> CSimPrinter::Receive(CSimInput& input, const uint8_t* data, size_t length) {
  Capture(data, length);
  m_nReceived += length;
  std::vector<uint8_t>& pending = input.m_pending;
  pending.insert(pending.end(), data, data + length);

  std::vector<uint8_t> reply;
  size_t pos = 0;
  while (pos < pending.size()) {
    const std::span<const uint8_t> rest(pending.data() + pos, pending.size() - pos);
    bool bNeedMore = false;
    bool bHandled = false;
    for (auto& command : m_commands) {
      SimResult r = command->Handle(rest, *this);
      if (r.eKind == SimResult::Kind::Consumed) {
        // A handler that claims nothing still moves on by one byte, so the loop ends.
        size_t n = r.nConsumed == 0 ? 1 : r.nConsumed;
        if (n > rest.size()) n = rest.size();
        pos += n;
        ++m_counts[command->Name()];
        if (m_options.bVerbose) {
          std::fprintf(stderr, "sim: %s (%zu bytes, %zu reply)\n", command->Name(), n,
                       r.reply.size());
        }
        reply.insert(reply.end(), r.reply.begin(), r.reply.end());
        bHandled = true;
        break;
      }
      if (r.eKind == SimResult::Kind::NeedMore) bNeedMore = true;
    }
    if (bHandled) continue;
    if (bNeedMore && rest.size() < kMaxPending) break;
    ++m_nUnknown;
    ++pos;
  }
  pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(pos));
  if (m_options.bSilent) reply.clear();
  return reply;
}

}  // namespace torva::sim
