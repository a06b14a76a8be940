// Reply frames as the line delivers them (noise, split, overlong) and the value code each
// setting's text gives.
#include <optional>

#include "setup_test_util.h"

namespace torva::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<SetupValue> Decoded(const Bytes& bytes) {
  CReplyParser parser;
  std::vector<SetupValue> out;
  for (std::uint8_t b : bytes) {
    if (auto reply = parser.Feed(b)) {
      if (auto v = DecodeReply(*reply)) out.push_back(*v);
    }
  }
  return out;
}

TEST(ReplyParser, FramesOnTheLineGiveTheseSettings) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::vector<SetupValue> values;
  };
  const std::vector<Case> cases = {
      {"water mark with image 5",
       {0x37, 0x27, 0x32, 0x34, 0x32, 0x1F, 0x31, 0x35, 0x00},
       {{242, 2, "5"}}},
      {"80mm", {0x37, 0x27, 0x33, 0x1F, 0x36, 0x00}, {{3, 1, ""}}},
      {"noise before the header",
       {0x00, 0xFF, 0x27, 0x1F, 0x33, 0x37, 0x27, 0x33, 0x1F, 0x36, 0x00},
       {{3, 1, ""}}},
      {"noise between header and identifier",
       {0x37, 0x00, 0x41, 0x1F, 0x37, 0x27, 0x33, 0x1F, 0x32, 0x00},
       {{3, 2, ""}}},
      {"a fourth number digit is ignored",
       {0x37, 0x27, 0x32, 0x34, 0x32, 0x39, 0x1F, 0x30, 0x00},
       {{242, 1, ""}}},
      {"an unknown number", {0x37, 0x27, 0x32, 0x30, 0x30, 0x1F, 0x31, 0x00}, {}},
      {"a number above 255 is no other setting",
       {0x37, 0x27, 0x32, 0x39, 0x39, 0x1F, 0x31, 0x00, 0x37, 0x27, 0x35, 0x30, 0x31, 0x1F, 0x31,
        0x00},
       {}},
      {"a letter in the number", {0x37, 0x27, 0x33, 0x41, 0x1F, 0x36, 0x00}, {}},
      {"no number", {0x37, 0x27, 0x1F, 0x36, 0x00}, {}},
      {"two frames back to back, the first unknown",
       {0x37, 0x27, 0x39, 0x1F, 0x31, 0x00, 0x37, 0x27, 0x32, 0x35, 0x32, 0x1F, 0x30, 0x34, 0x00},
       {{252, 4, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Decoded(c.bytes), c.values);
  }
}

TEST(ReplyParser, AReplySplitByteByByteCompletesOnlyAtItsEnd) {
  Bytes bytes = ReplyFrame(250, "1255");
  const Bytes second = ReplyFrame(245, "23");
  bytes.insert(bytes.end(), second.begin(), second.end());
  CReplyParser parser;
  std::vector<SetupReply> replies;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto reply = parser.Feed(bytes[i]);
    EXPECT_EQ(reply.has_value(), bytes[i] == 0x00) << i;
    if (reply) replies.push_back(*reply);
  }
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].nNumber, 250);
  EXPECT_EQ(replies[0].strText, "1255");
  EXPECT_EQ(replies[1].nNumber, 245);
  EXPECT_EQ(replies[1].strText, "23");
}

TEST(ReplyParser, LongTextsAreCut) {
  const std::string text(150, '7');
  CReplyParser parser;
  std::optional<SetupReply> reply;
  for (std::uint8_t b : ReplyFrame(118, text)) reply = parser.Feed(b);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->strText.size(), kReplyValueMax);
  EXPECT_EQ(DecodeReply(*reply)->strText, std::string(kSetupTextMax, '7'));
}

TEST(ReplyParser, EachSettingsTextGivesItsValueCode) {
  struct Case {
    int a;
    const char* text;
    std::optional<SetupValue> value;
  };
  const auto v = [](int a, std::int32_t code, const char* kept = "") {
    return std::optional<SetupValue>(SetupValue{a, code, kept});
  };
  const std::vector<Case> cases = {
      {1, "2", v(1, 1)},
      {1, "5", v(1, 4)},
      {1, "1", v(1, 0)},
      {1, "", v(1, 0)},
      {2, "1", v(2, 0)},
      {2, "6", v(2, 5)},
      {2, "7", v(2, 6)},
      {3, "3", v(3, 3)},
      {3, "4", std::nullopt},
      {116, "1", v(116, 1)},
      {116, "257", v(116, 2)},
      {116, "12", std::nullopt},
      {118, "70", v(118, 0, "70")},
      {242, "0", v(242, 1)},
      {242, "2", std::nullopt},
      {243, "112", v(243, 2, "12")},
      {244, "1", v(244, 2)},
      {247, "0", v(247, 1)},
      {248, "x", std::nullopt},
      {245, "23", v(245, '2', "3")},
      {246, "16", v(246, 2, "16")},
      {249, "200", v(249, 1, "200")},
      {250, "1255", v(250, 1, "1255")},
      {251, "1", v(251, 2)},
      {251, "7", v(251, 1)},
      {252, "64", v(252, 64)},
      {252, "4", v(252, 4)},
      {252, "40", std::nullopt},
      {252, "16", std::nullopt},
      {253, "1", v(253, 2)},
      {255, "6699", v(255, 0x1A2B)},
      {255, "4294967295", v(255, -1)},
      {255, "99999999999", v(255, -1)},
      {255, "12x", v(255, 12)},
      {200, "1", std::nullopt},
      {204, "1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeReply(c.a, c.text), c.value) << c.a << " \"" << c.text << "\"";
  }
}

}  // namespace
}  // namespace torva::test
