// Fuzz entry for the setup reply parser: any bytes are fed one at a time as they would come
// off the line, every completed reply is decoded and applied to a setting model, and the
// model then builds its write command, so decoding, applying and encoding all see the
// values a misbehaving printer could send.
#include <cstddef>
#include <cstdint>

#include "setup/reply_parser.h"
#include "setup/setting_model.h"
#include "setup/setup_commands.h"
#include "setup/setup_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  torva::CSettingModel model(1 + static_cast<int>(size % 6), (size & 1) != 0,
                             torva::BuiltInCodePageTexts(), {"64", "32", "20", "4"});
  torva::CReplyParser parser;
  for (std::size_t i = 0; i < size; ++i) {
    if (auto reply = parser.Feed(data[i])) {
      if (reply->nNumber < 1 || reply->nNumber > 255 ||
          reply->strText.size() > torva::kReplyValueMax) {
        __builtin_trap();
      }
      if (auto value = torva::DecodeReply(*reply)) {
        if (value->strText.size() > torva::kSetupTextMax) __builtin_trap();
        model.ApplyValue(*value);
      }
    }
  }
  // Rules that ask or tell are left out: the default user interface answers No and
  // writes to stderr, which would only slow the fuzzer down.
  model.m_bStopBitChanged = false;
  if (auto cmd = torva::BuildSetCommand(model)) {
    if (cmd->bytes.size() < 6 || cmd->bytes[3] + 256u * cmd->bytes[4] != cmd->bytes.size() - 5) {
      __builtin_trap();
    }
  }
  return 0;
}
