#include "ports/usb_reply.h"

#include <gtest/gtest.h>

#include <vector>

namespace torva {
namespace {

using Bytes = std::vector<uint8_t>;

struct DecodeCase {
  std::vector<Bytes> blocks;  // as they arrive, read by read
  Bytes queued;
};

class UsbReplyDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(UsbReplyDecodeTest, QueuesDecodedBytes) {
  CUsbReplyDecoder decoder;
  Bytes out;
  for (const Bytes& b : GetParam().blocks) decoder.Decode(b.data(), b.size(), out);
  decoder.Finish(out);
  EXPECT_EQ(out, GetParam().queued);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, UsbReplyDecodeTest,
    ::testing::Values(
        DecodeCase{{{0x1B, 0x30, 0x41, 0x1B, 0x1B, 0x1B, 0x42}}, {0x00, 0x41, 0x1B, 0x42}},
        DecodeCase{{{0x41, 0x42, 0x00}}, {0x41, 0x42, 0x00}},
        // The pair counts as one step: 1B 1B 30 is 1B then 30, not 1B then 00.
        DecodeCase{{{0x1B, 0x1B, 0x30}}, {0x1B, 0x30}},
        // An escape pair split between two reads is still one pair.
        DecodeCase{{{0x41, 0x1B}, {0x30, 0x42}}, {0x41, 0x00, 0x42}},
        // A lone escape at the very end is kept, not lost.
        DecodeCase{{{0x41, 0x1B}}, {0x41, 0x1B}}, DecodeCase{{{}}, {}}));

}  // namespace
}  // namespace torva
