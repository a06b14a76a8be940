#include "ports/usb_reply.h"

namespace torva {
namespace {

constexpr uint8_t kEscape = 0x1B;

}  // namespace

void CUsbReplyDecoder::Decode(const uint8_t* data, size_t length, std::vector<uint8_t>& out) {
  for (size_t i = 0; i < length; ++i) {
    const uint8_t b = data[i];
    if (m_bEscape) {
      m_bEscape = false;
      out.push_back(b == 0x30 ? 0x00 : b);
    } else if (b == kEscape) {
      m_bEscape = true;
    } else {
      out.push_back(b);
    }
  }
}

void CUsbReplyDecoder::Finish(std::vector<uint8_t>& out) {
  if (m_bEscape) out.push_back(kEscape);
  m_bEscape = false;
}

}  // namespace torva
