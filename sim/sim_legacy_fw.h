// The TORVA10 line's flash writer, as the printer's boot code sees it: frames
//
//   40 cmd  b2 b3  a0 a1 a2 a3  data(n)  s0 s1
//
// cmd F2 erases the area named by b2 b3 (20 22 program, 22 23 boot, 1C 1E font); F0 and F1
// carry n = b2 b3 (1..512) bytes for address a0..a3, F1 the last of the area; s0 s1 is the
// 16-bit sum of the data, all big-endian. Each frame is answered DLE ACK (10 06) or, when
// its checksum, order or kind is wrong, DLE NAK (10 15). A frame that repeats the one just
// accepted (its ACK was lost) is acknowledged again and not written twice.
//
// When the last frame of an area arrives the area is kept for the run, and with a paper
// directory written as DIR/flash-AREA.bin, a receipt DIR/flash-AREA.png and its lines in
// DIR/flash-AREA.txt (area, addresses, CRC-32 of the data, frames, refusals).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim_printer.h"

namespace torva::sim {

struct LegacyFwOptions {
  int nNakEvery = 0;  // refuse every Nth data frame once (0: never)
  int nNakFrame = 0;  // refuse data frame K (1-based) every time (0: none)
};

class CLegacyFlash {
 public:
  explicit CLegacyFlash(std::string paperDir = {}, LegacyFwOptions options = {})
      : m_strPaperDir(std::move(paperDir)), m_options(options) {}

  struct Area {
    const char* name;
    uint8_t e0, e1;
    uint32_t nStart, nEnd;
  };
  static const Area* AreaOf(uint8_t e0, uint8_t e1);
  static uint32_t Crc32(const std::vector<uint8_t>& data);

  // The answer to one whole frame (bytes as received).
  std::vector<uint8_t> Frame(const uint8_t* frame, size_t length);

  // Areas whose last frame arrived, by name.
  const std::map<std::string, std::vector<uint8_t>>& Flashed() const { return m_flashed; }
  int Acks() const { return m_nAcks; }
  int Naks() const { return m_nNaks; }
  const LegacyFwOptions& Options() const { return m_options; }

 private:
  std::vector<uint8_t> Ack();
  std::vector<uint8_t> Nak();
  void Finish();

  std::string m_strPaperDir;
  LegacyFwOptions m_options;
  const Area* m_pArea = nullptr;
  std::vector<uint8_t> m_data;
  uint32_t m_nExpected = 0;
  int64_t m_nLastAccepted = -1;
  int m_nLastRefused = 0;
  int m_nFrames = 0;
  int m_nAreaNaks = 0;
  int m_nAcks = 0;
  int m_nNaks = 0;
  std::map<std::string, std::vector<uint8_t>> m_flashed;
};

class CLegacyFwCommand final : public ISimCommand {
 public:
  explicit CLegacyFwCommand(CLegacyFlash& flash) : m_flash(flash) {}
  const char* Name() const override { return "FWDN frame"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;

 private:
  CLegacyFlash& m_flash;
};

// Register before any handler that takes printable text (40 is '@').
void RegisterLegacyFwCommands(CSimPrinter& printer, CLegacyFlash& flash);

// "--legacy-nak-every N" and "--legacy-nak-frame K" at args[i] (i moves past the value).
// False when args[i] is neither; error set for a bad value.
bool ParseLegacyFwOption(const std::vector<std::string>& args, size_t& i, LegacyFwOptions& options,
                         std::string& error);
const char* LegacyFwOptionHelp();

}  // namespace torva::sim
