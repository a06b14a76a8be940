#include "firmware/legacy_frame.h"

#include <algorithm>

namespace torva {
namespace {

void PutBig16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

void PutBig32(uint8_t* p, uint32_t v) {
  PutBig16(p, v >> 16);
  PutBig16(p + 2, v & 0xFFFF);
}

}  // namespace

LegacyFrame LegacyFrame::Erase(const LegacyAreaInfo& area) {
  LegacyFrame f;
  f.m_bytes[0] = kLead;
  f.m_bytes[1] = kErase;
  f.m_bytes[2] = area.erase[0];
  f.m_bytes[3] = area.erase[1];
  PutBig32(&f.m_bytes[4], 0);
  f.m_nLength = kOverhead;
  f.StoreChecksum();
  return f;
}

void LegacyFrame::StartData(bool bLast, uint32_t address, int n) {
  n = std::clamp(n, 1, kMaxData);
  m_bytes[0] = kLead;
  m_bytes[1] = bLast ? kLastData : kData;
  PutBig16(&m_bytes[2], static_cast<uint32_t>(n));
  PutBig32(&m_bytes[4], address);
  m_nLength = n + kOverhead;
}

uint16_t LegacyFrame::ChecksumOf(const uint8_t* data, int n) {
  uint32_t sum = 0;
  for (int i = 0; i < n; ++i) sum += data[i];
  return static_cast<uint16_t>(sum & 0xFFFF);
}

void LegacyFrame::StoreChecksum() {
  const int n = DataLength();
  PutBig16(&m_bytes[static_cast<size_t>(8 + n)], ChecksumOf(DataPart(), n));
}

uint32_t LegacyFrame::Address() const {
  return (uint32_t{m_bytes[4]} << 24) | (uint32_t{m_bytes[5]} << 16) | (uint32_t{m_bytes[6]} << 8) |
         m_bytes[7];
}

bool CLegacyFrameSource::Open(const std::string& path, const LegacyAreaInfo& area) {
  Close();
  m_file.open(path, std::ios::binary);
  if (!m_file.is_open()) return false;
  m_nAddress = area.nStart;
  m_nEndAddress = area.nEnd;
  m_file.seekg(area.nStart, std::ios::beg);
  // A file that ends before the area's start holds nothing of it: every byte is FF.
  m_bFileEnded = !m_file.good();
  return true;
}

void CLegacyFrameSource::Close() {
  if (m_file.is_open()) m_file.close();
  m_file.clear();
  m_bFileEnded = false;
}

void CLegacyFrameSource::BuildNextFrame(LegacyFrame& frame) {
  const uint32_t remaining = m_nEndAddress > m_nAddress ? m_nEndAddress - m_nAddress : 0;
  const int n = static_cast<int>(std::min<uint32_t>(remaining, LegacyFrame::kMaxData));
  frame.StartData(remaining <= static_cast<uint32_t>(LegacyFrame::kMaxData), m_nAddress, n);
  uint8_t* data = frame.DataPart();
  std::streamsize got = 0;
  if (!m_bFileEnded) {
    m_file.read(reinterpret_cast<char*>(data), n);
    got = m_file.gcount();
    if (got < n) m_bFileEnded = true;
  }
  std::fill(data + got, data + n, uint8_t{0xFF});
  m_nAddress += static_cast<uint32_t>(n);
  frame.StoreChecksum();
}

}  // namespace torva
