// Decoding of the reply blocks a USB printer sends: 1B is an escape, 1B 30 stands for 00,
// 1B 1B for 1B, and 1B x for x. An escape pair split between two reads is joined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace torva {

class CUsbReplyDecoder {
 public:
  // Appends the decoded bytes of one received block to out.
  void Decode(const uint8_t* data, size_t length, std::vector<uint8_t>& out);
  // At the end of a reply: a lone 1B at the very end is kept as it is rather than lost.
  void Finish(std::vector<uint8_t>& out);
  bool EscapePending() const { return m_bEscape; }

 private:
  bool m_bEscape = false;
};

}  // namespace torva
