#include "setup/reply_parser.h"

namespace torva {

std::optional<SetupReply> CReplyParser::Feed(std::uint8_t /*byte*/) { return std::nullopt; }

void CReplyParser::Reset() { *this = CReplyParser(); }

std::optional<SetupValue> DecodeReply(int /*nSetting*/, const std::string& /*text*/) {
  return std::nullopt;
}

}  // namespace torva
