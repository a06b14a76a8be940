#include "setup/reply_parser.h"

#include "setup/setting_numbers.h"

namespace torva {

namespace {

constexpr std::uint8_t kHeader = 0x37;
constexpr std::uint8_t kIdentifier = 0x27;
constexpr std::uint8_t kSeparator = 0x1F;
constexpr std::uint8_t kEnd = 0x00;
constexpr int kNumberDigitsMax = 3;

std::string Kept(const std::string& text) { return text.substr(0, kSetupTextMax); }

// A standard text-to-integer reading (leading blanks, a sign, digits up to the first other
// character), kept to 32 bits the way the printer's custom value is: "4294967295" is all
// bits set, "-1" as well. Digits beyond 32 bits saturate instead of overflowing.
std::uint32_t DecimalBits(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (v > 0xFFFFFFFFull) v = 0xFFFFFFFFull;
  }
  return negative ? static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(v))
                  : static_cast<std::uint32_t>(v);
}

// The two-state settings: "0" is the first state (code 1), "1" the second (code 2).
std::optional<std::int32_t> TwoState(char first) {
  if (first == '0') return 1;
  if (first == '1') return 2;
  return std::nullopt;
}

}  // namespace

std::optional<SetupReply> CReplyParser::Feed(std::uint8_t byte) {
  if (!m_bHeader) {
    m_bHeader = byte == kHeader;
    return std::nullopt;
  }
  if (!m_bIdentifier) {
    m_bIdentifier = byte == kIdentifier;
    return std::nullopt;
  }
  if (!m_bValue) {
    if (byte == kSeparator) {
      m_bValue = true;
    } else if (byte < '0' || byte > '9') {
      m_bBadNumber = true;
    } else if (m_nDigits < kNumberDigitsMax) {
      m_nNumber = m_nNumber * 10 + (byte - '0');
      ++m_nDigits;
    }
    return std::nullopt;
  }
  if (byte != kEnd) {
    if (m_strValue.size() < kReplyValueMax) m_strValue.push_back(static_cast<char>(byte));
    return std::nullopt;
  }
  // A number that is not one to three digits naming 1..255 belongs to no setting; it must
  // not be taken for another one.
  std::optional<SetupReply> reply;
  if (!m_bBadNumber && m_nNumber >= 1 && m_nNumber <= 255) {
    reply = SetupReply{m_nNumber, std::move(m_strValue)};
  }
  Reset();
  return reply;
}

void CReplyParser::Reset() { *this = CReplyParser(); }

std::optional<SetupValue> DecodeReply(int nSetting, const std::string& text) {
  const char first = text.empty() ? '\0' : text[0];
  const std::string rest = text.empty() ? std::string() : Kept(text.substr(1));
  auto code = [&](std::int32_t c, std::string kept = {}) {
    return std::optional<SetupValue>(SetupValue{nSetting, c, std::move(kept)});
  };
  switch (nSetting) {
    case kSetNvUser:
      return code(first >= '2' && first <= '5' ? first - '1' : 0);
    case kSetNvGraphic:
      return code(first >= '1' && first <= '6' ? first - '1' : 6);
    case kSetPaperWidth:
      if (first == '2') return code(2);
      if (first == '3') return code(3);
      if (first == '6') return code(1);
      return std::nullopt;
    case kSetPaperType:
      if (text == "1") return code(1);
      if (text == "257") return code(2);
      return std::nullopt;
    case kSetColorDensity:
      return code(0, Kept(text));
    case kSetWaterMark:
    case kSetCutAdjust:
      if (first == '1') return code(2, rest);
      if (first == '0') return code(1);
      return std::nullopt;
    case kSetDrawerWithCut:
    case kSetCutMode:
    case kSetBoldFont:
      if (auto c = TwoState(first)) return code(*c);
      return std::nullopt;
    case kSetBell:
      return code(static_cast<unsigned char>(first), rest);
    case kSetCodePage:
      return code(2, Kept(text));
    case kSetMaxSpeed:
    case kSetLeftMargin:
      return code(1, Kept(text));
    case kSetDrawerSelfTest:
      return code(first == '1' ? 2 : 1);
    case kSetReceiveBuffer:
      if (text == "64") return code(64);
      if (text == "32") return code(32);
      if (text == "20") return code(20);
      if (text == "04" || text == "4") return code(4);
      return std::nullopt;
    case kSetStopBit:
      return code(static_cast<unsigned char>(first) - 0x2F);
    case kSetCustomCode:
      return code(static_cast<std::int32_t>(DecimalBits(text)));
    default:
      return std::nullopt;
  }
}

}  // namespace torva
