#include "sim_printer.h"

#include <algorithm>

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

void CSimPrinter::SendLater(std::chrono::milliseconds delay, std::vector<uint8_t> bytes) {
  if (m_pServing == nullptr || m_options.bSilent || bytes.empty()) return;
  SimClock::time_point due = SimClock::now() + delay;
  if (!m_pServing->m_later.empty() && m_pServing->m_later.back().due > due) {
    due = m_pServing->m_later.back().due;
  }
  m_pServing->m_later.push_back({due, std::move(bytes)});
}

void CSimPrinter::WakeAt(SimClock::time_point when) {
  if (when < m_wake) m_wake = when;
}

std::vector<uint8_t> CSimPrinter::Poll(CSimInput& input, SimClock::time_point& next) {
  m_pServing = &input;
  m_wake = SimClock::time_point::max();
  for (auto& c : m_commands) c->Poll(*this);
  m_pServing = nullptr;
  std::vector<uint8_t> out;
  const SimClock::time_point now = SimClock::now();
  while (!input.m_later.empty() && input.m_later.front().due <= now) {
    out.insert(out.end(), input.m_later.front().bytes.begin(), input.m_later.front().bytes.end());
    input.m_later.pop_front();
  }
  next = input.m_later.empty() ? m_wake : std::min(m_wake, input.m_later.front().due);
  return out;
}

std::vector<uint8_t> CSimPrinter::Receive(CSimInput& input, const uint8_t* data, size_t length) {
  Capture(data, length);
  m_pServing = &input;
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
  // Behind bytes that wait for their time, a prompt answer waits too: replies keep order.
  if (!input.m_later.empty() && !reply.empty()) {
    SendLater(std::chrono::milliseconds(0), std::move(reply));
    reply.clear();
  }
  m_pServing = nullptr;
  return reply;
}

}  // namespace torva::sim
