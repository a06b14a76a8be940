// The frames of the TORVA10 firmware downloader. Every frame is
//
//   command(2) length-or-erase(2) address(4) data(n) checksum(2)
//
// with n = 0 for the erase frame (40 F2, the area's two erase bytes, address 0) and 1..512
// for a data frame (40 F0 while more than 512 bytes remain before the area's end, 40 F1 for
// the frame that takes the rest). Length, address and checksum are big-endian; the checksum
// is the low 16 bits of the sum of the data bytes.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <string>

#include "firmware/legacy_area.h"

namespace torva {

class LegacyFrame {
 public:
  static constexpr int kMaxData = 512;
  static constexpr int kOverhead = 10;
  static constexpr int kMaxLength = kMaxData + kOverhead;
  static constexpr uint8_t kLead = 0x40;
  static constexpr uint8_t kData = 0xF0;
  static constexpr uint8_t kLastData = 0xF1;
  static constexpr uint8_t kErase = 0xF2;

  // The erase frame of an area.
  static LegacyFrame Erase(const LegacyAreaInfo& area);

  // A data frame for address with n data bytes (the data part left for the caller to fill).
  void StartData(bool bLast, uint32_t address, int n);
  uint8_t* DataPart() { return m_bytes.data() + 8; }
  const uint8_t* DataPart() const { return m_bytes.data() + 8; }
  int DataLength() const { return m_nLength - kOverhead; }
  // Computes the checksum over the data part and stores it at the end.
  void StoreChecksum();
  static uint16_t ChecksumOf(const uint8_t* data, int n);

  const uint8_t* Bytes() const { return m_bytes.data(); }
  int Length() const { return m_nLength; }
  uint8_t Command() const { return m_bytes[1]; }
  bool IsErase() const { return Command() == kErase; }
  // The flash address of the first data byte (0 for the erase frame).
  uint32_t Address() const;

 private:
  std::array<uint8_t, kMaxLength> m_bytes{};
  int m_nLength = 0;
};

// Reads an area's data frames from a raw flash image, in which the file offset is the flash
// address. Bytes past the end of the file read as FF (erased flash), so a short file still
// gives full-length frames.
class CLegacyFrameSource {
 public:
  // Opens the file and moves to the area's start; false when it cannot be opened.
  bool Open(const std::string& path, const LegacyAreaInfo& area);
  void Close();
  bool IsOpen() const { return m_file.is_open(); }

  // The next data frame, read sequentially; the checksum is stored as well.
  void BuildNextFrame(LegacyFrame& frame);
  // Address of the next data byte and the area's end.
  uint32_t Address() const { return m_nAddress; }
  uint32_t EndAddress() const { return m_nEndAddress; }
  bool AtEnd() const { return m_nAddress >= m_nEndAddress; }

 private:
  std::ifstream m_file;
  bool m_bFileEnded = false;
  uint32_t m_nAddress = 0;
  uint32_t m_nEndAddress = 0;
};

}  // namespace torva
