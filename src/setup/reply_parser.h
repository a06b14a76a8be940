// The printer's replies to an ask command, `37 27 a 1F text 00`: a parser fed one byte at a
// time (bytes may arrive split anywhere and with noise between frames), and `DecodeReply`,
// which turns one reply into the value code the setting model applies. No I/O and no
// threads: the setup exchange's worker owns one parser and feeds it what the line delivers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace torva {

// One complete reply frame: the setting number and the value text (at most 99 bytes).
struct SetupReply {
  int nNumber = 0;
  std::string strText;
};

// One decoded setting, as handed to the setting model: the setting number, the value code
// (for 255 the 32 bits of the custom value) and, for the multi-digit settings (118, 242,
// 243, 245, 246, 249, 250), the text kept for it (at most 15 characters).
struct SetupValue {
  int nSetting = 0;
  std::int32_t nCode = 0;
  std::string strText;
  bool operator==(const SetupValue&) const = default;
};

inline constexpr std::size_t kReplyValueMax = 99;  // value bytes kept per frame
inline constexpr std::size_t kSetupTextMax = 15;   // text kept per multi-digit setting

class CReplyParser {
 public:
  // Feeds one byte; returns the reply it completes. Bytes before the 37 header and between
  // 37 and 27 are dropped; a fourth and later number digit is ignored. A frame whose number
  // holds a byte other than a digit, or is above 255, or is 0, is dropped when it ends.
  std::optional<SetupReply> Feed(std::uint8_t byte);
  // Forgets a frame in progress.
  void Reset();

 private:
  bool m_bHeader = false;
  bool m_bIdentifier = false;
  bool m_bValue = false;
  bool m_bBadNumber = false;
  int m_nNumber = 0;
  int m_nDigits = 0;
  std::string m_strValue;
};

// The value code of one reply, or nothing when the setting has no mapping or the text
// matches none of its rows.
std::optional<SetupValue> DecodeReply(int nSetting, const std::string& text);
inline std::optional<SetupValue> DecodeReply(const SetupReply& reply) {
  return DecodeReply(reply.nNumber, reply.strText);
}

}  // namespace torva
