// The printer's NV graphics memory and what it prints from it.
//
// FS q n (1C 71 n, with star emulation 1B 1C 71 n) defines n images at once, each a header
// xL xH yL yH (0xA0 in the high bits of xH: a grey image) and its data; the command is taken
// when the last byte of the last image has arrived, and then replaces everything stored.
// A command whose count or sizes are out of range is refused: its start and the headers up
// to the bad one are consumed, the memory stays as it was. FS p n m (1C 70 n m, or with
// ESC in front) prints image n at size m (0 normal, 1 double width, 2 double height,
// 3 quadruple; '0'..'3' too) onto a paper file DIR/paper-NNNN.png, below the text lines
// received since the last print (the header line "--- Logo n ---"). The images are kept
// for the simulator's run; ESC @ does not touch them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim_printer.h"

namespace torva::sim {

struct NvImage {
  int nX = 0;  // 8-dot units across
  int nY = 0;  // 8-dot units down
  bool bGray = false;
  std::vector<uint8_t> data;  // column format (mono) or 4-bit rows (grey)
  int WidthDots() const { return nX * 8; }
  int HeightDots() const { return nY * 8; }
  // Ink 0..255 of dot (x, y).
  int Ink(int x, int y) const;
};

class CNvStore {
 public:
  static constexpr int kMaxX = 1023;
  static constexpr int kMaxY = 288;
  static constexpr size_t kCapacityBytes = 384u * 1024u;

  // paperDir empty: prints are counted but no paper is written.
  explicit CNvStore(std::string paperDir = {}) : m_strPaperDir(std::move(paperDir)) {}

  void Define(std::vector<NvImage> images);
  const NvImage* Image(int number) const;
  int ImageCount() const { return static_cast<int>(m_images.size()); }
  int Defines() const { return m_nDefines; }
  int RefusedDefines() const { return m_nRefused; }
  void CountRefused() { ++m_nRefused; }

  void AddText(const uint8_t* data, size_t length);
  // Prints image number at mode onto a new paper file with the pending text lines; false
  // when nothing was written. The paper's path is in LastPaper().
  bool Print(int number, int mode);
  int Prints() const { return m_nPrints; }
  // A cut: the pending text lines become a paper of their own; false when nothing was written.
  bool Cut();
  const std::string& LastPaper() const { return m_strLastPaper; }
  const std::vector<std::string>& PendingLines() const { return m_lines; }

 private:
  bool Paper(const NvImage* image, int sx, int sy);

  std::string m_strPaperDir;
  std::vector<NvImage> m_images;
  std::vector<std::string> m_lines;
  std::string m_strLine;
  int m_nDefines = 0;
  int m_nRefused = 0;
  int m_nPrints = 0;
  int m_nPapers = 0;
  std::string m_strLastPaper;
};

class CFsDefineCommand final : public ISimCommand {
 public:
  explicit CFsDefineCommand(CNvStore& store) : m_store(store) {}
  const char* Name() const override { return "FS q"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;

 private:
  CNvStore& m_store;
};

class CFsPrintCommand final : public ISimCommand {
 public:
  explicit CFsPrintCommand(CNvStore& store) : m_store(store) {}
  const char* Name() const override { return "FS p"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;

 private:
  CNvStore& m_store;
};

// Printable text and line feeds that no command took: the lines printed above the next
// image. Register it after every other command.
class CTextCommand final : public ISimCommand {
 public:
  explicit CTextCommand(CNvStore& store) : m_store(store) {}
  const char* Name() const override { return "text"; }
  SimResult Handle(std::span<const uint8_t> input, CSimPrinter& printer) override;

 private:
  CNvStore& m_store;
};

void RegisterNvCommands(CSimPrinter& printer, CNvStore& store);

// The simulator's option for the paper files: "--paper-dir DIR" at args[i] (i moves past
// its value). False when args[i] is not this option; error set for a missing value.
bool ParsePaperOption(const std::vector<std::string>& args, size_t& i, std::string& dir,
                      std::string& error);
const char* PaperOptionHelp();

}  // namespace torva::sim
