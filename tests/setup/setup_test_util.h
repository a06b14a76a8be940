// Helpers of the setting tests: a model with the built-in lists, the entries of a write
// command, and a printer's reply frame run through the parser into the model.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/reply_parser.h"
#include "setup/setting_model.h"
#include "setup/setup_commands.h"
#include "setup/setup_lists.h"

namespace torva::test {

inline CSettingModel MakeModel(int modelCode = kModelGeneric, bool bKorean = false) {
  std::vector<std::string> buffers = {"64", "32", "20"};
  if (!bKorean) buffers.emplace_back("4");
  return CSettingModel(modelCode, bKorean, BuiltInCodePageTexts(), buffers);
}

using Entry = std::vector<std::uint8_t>;

// The entries of a write command (a, nL, nH; FF with its five bytes), after checking the
// header and that pL/pH count exactly the bytes that follow.
inline std::vector<Entry> Entries(const SetupBytes& cmd) {
  std::vector<Entry> out;
  EXPECT_GE(cmd.size(), 6u);
  if (cmd.size() < 6) return out;
  EXPECT_EQ(SetupBytes(cmd.begin(), cmd.begin() + 3), (SetupBytes{0x1D, 0x28, 0x45}));
  EXPECT_EQ(cmd[3] + 256u * cmd[4], cmd.size() - 5);
  EXPECT_EQ(cmd[5], 0x05);
  for (std::size_t i = 6; i < cmd.size();) {
    const std::size_t len = cmd[i] == 0xFF ? 6 : 3;
    EXPECT_LE(i + len, cmd.size());
    out.emplace_back(cmd.begin() + static_cast<std::ptrdiff_t>(i),
                     cmd.begin() + static_cast<std::ptrdiff_t>(std::min(i + len, cmd.size())));
    i += len;
  }
  return out;
}

// 37 27 a 1F text 00
inline std::vector<std::uint8_t> ReplyFrame(int a, const std::string& text) {
  std::vector<std::uint8_t> b = {0x37, 0x27};
  for (char c : std::to_string(a)) b.push_back(static_cast<std::uint8_t>(c));
  b.push_back(0x1F);
  b.insert(b.end(), text.begin(), text.end());
  b.push_back(0x00);
  return b;
}

inline void ApplyReply(CSettingModel& model, int a, const std::string& text) {
  CReplyParser parser;
  for (std::uint8_t byte : ReplyFrame(a, text)) {
    if (auto reply = parser.Feed(byte)) {
      if (auto value = DecodeReply(*reply)) model.ApplyValue(*value);
    }
  }
}

}  // namespace torva::test
