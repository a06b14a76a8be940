#include "sim_nv_store.h"

#include <algorithm>
#include <cstdio>

#include "sim_paper.h"

namespace torva::sim {
namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kFs = 0x1C;

// Where an FS command starts: 0 without, 1 with the star emulation's ESC in front; -1 not
// this command, -2 a piece of it (wait for more).
int CommandStart(std::span<const uint8_t> input, uint8_t letter) {
  const uint8_t plain[] = {kFs, letter};
  const uint8_t star[] = {kEsc, kFs, letter};
  switch (MatchPrefix(input, plain)) {
    case PrefixMatch::Full: return 0;
    case PrefixMatch::Partial: return -2;
    case PrefixMatch::No: break;
  }
  switch (MatchPrefix(input, star)) {
    case PrefixMatch::Full: return 1;
    case PrefixMatch::Partial: return -2;
    case PrefixMatch::No: break;
  }
  return -1;
}

// Bytes from 0x80 up are characters of the code page (drawn as boxes).
bool IsText(uint8_t b) { return b >= 0x20 || b == 0x0A || b == 0x0D; }

}  // namespace

int NvImage::Ink(int x, int y) const {
  if (x < 0 || y < 0 || x >= WidthDots() || y >= HeightDots()) return 0;
  if (bGray) {
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(nX) * 4 + static_cast<size_t>(x) / 2;
    const int level = x % 2 == 0 ? data[at] >> 4 : data[at] & 0x0F;
    return level >= 5 ? 255 : level * 51;
  }
  const size_t at = static_cast<size_t>(x) * static_cast<size_t>(nY) + static_cast<size_t>(y) / 8;
  return (data[at] >> (7 - y % 8)) & 1 ? 255 : 0;
}

void CNvStore::Define(std::vector<NvImage> images) {
  m_images = std::move(images);
  ++m_nDefines;
}

const NvImage* CNvStore::Image(int number) const {
  if (number < 1 || number > static_cast<int>(m_images.size())) return nullptr;
  return &m_images[static_cast<size_t>(number - 1)];
}

void CNvStore::AddText(const uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (data[i] == 0x0A) {
      m_lines.push_back(m_strLine);
      m_strLine.clear();
    } else if (data[i] != 0x0D) {
      m_strLine += static_cast<char>(data[i]);
    }
  }
}

bool CNvStore::Cut() {
  if (!m_strLine.empty()) AddText(reinterpret_cast<const uint8_t*>("\n"), 1);
  return Paper(nullptr, 1, 1);
}

bool CNvStore::Print(int number, int mode) {
  ++m_nPrints;
  const NvImage* image = Image(number);
  const int sx = mode == 1 || mode == 3 ? 2 : 1;
  const int sy = mode == 2 || mode == 3 ? 2 : 1;
  return Paper(image, sx, sy);
}

bool CNvStore::Paper(const NvImage* image, int sx, int sy) {
  const bool hasImage = image != nullptr && !image->data.empty();
  std::vector<std::string> lines;
  lines.swap(m_lines);
  if (m_strPaperDir.empty() || (!hasImage && lines.empty())) return false;

  int width = hasImage ? image->WidthDots() * sx : 0;
  for (const auto& l : lines) width = std::max(width, CPaper::TextWidth(l));
  CPaper paper(width);
  for (const auto& l : lines) paper.PrintText(l);
  if (hasImage) {
    paper.PrintDots(image->WidthDots() * sx, image->HeightDots() * sy,
                    [&](int x, int y) { return image->Ink(x / sx, y / sy); });
  }
  paper.Feed(CPaper::kCellHeight);
  char name[64];
  std::snprintf(name, sizeof name, "/paper-%04d.png", ++m_nPapers);
  m_strLastPaper = m_strPaperDir + name;
  if (!paper.WritePng(m_strLastPaper)) {
    std::fprintf(stderr, "torva-printer-sim: cannot write %s\n", m_strLastPaper.c_str());
    return false;
  }
  return true;
}

SimResult CFsDefineCommand::Handle(std::span<const uint8_t> input, CSimPrinter& printer) {
  const int esc = CommandStart(input, 'q');
  if (esc == -1) return SimResult::NotMine();
  if (esc == -2) return SimResult::NeedMore();
  size_t pos = static_cast<size_t>(esc) + 2;
  if (input.size() <= pos) return SimResult::NeedMore();
  const int count = input[pos++];
  auto refuse = [&](const char* why, size_t consumed) {
    m_store.CountRefused();
    if (printer.Options().bVerbose) std::fprintf(stderr, "sim: FS q refused: %s\n", why);
    return SimResult::Consumed(consumed);
  };
  if (count == 0) return refuse("no images", pos);

  // Only sizes are read until the whole command is there; it is taken in one piece.
  struct Layout { int x, y; bool gray; size_t at, length; };
  std::vector<Layout> layouts;
  size_t total = 0;
  for (int i = 0; i < count; ++i) {
    if (input.size() < pos + 4) return SimResult::NeedMore();
    const uint8_t xL = input[pos], xH = input[pos + 1], yL = input[pos + 2], yH = input[pos + 3];
    const bool gray = (xH & 0xF0) == 0xA0;
    const int x = xL + 256 * (gray ? xH & 0x0F : xH);
    const int y = yL + 256 * yH;
    pos += 4;
    if (x > CNvStore::kMaxX || y > CNvStore::kMaxY) return refuse("image size out of range", pos);
    const size_t length = static_cast<size_t>(x) * static_cast<size_t>(y) * (gray ? 32 : 8);
    total += length;
    if (total > CNvStore::kCapacityBytes) return refuse("more than the NV memory holds", pos);
    layouts.push_back({x, y, gray, pos, length});
    if (input.size() < pos + length) return SimResult::NeedMore();
    pos += length;
  }
  std::vector<NvImage> images;
  for (const Layout& l : layouts) {
    NvImage image;
    image.nX = l.x;
    image.nY = l.y;
    image.bGray = l.gray;
    image.data.assign(input.begin() + static_cast<std::ptrdiff_t>(l.at),
                      input.begin() + static_cast<std::ptrdiff_t>(l.at + l.length));
    images.push_back(std::move(image));
  }
  m_store.Define(std::move(images));
  if (printer.Options().bVerbose) {
    std::fprintf(stderr, "sim: FS q defined %d images, %zu data bytes\n", count, total);
  }
  return SimResult::Consumed(pos);
}

SimResult CFsPrintCommand::Handle(std::span<const uint8_t> input, CSimPrinter& printer) {
  const int esc = CommandStart(input, 'p');
  if (esc == -1) return SimResult::NotMine();
  if (esc == -2) return SimResult::NeedMore();
  const size_t pos = static_cast<size_t>(esc) + 2;
  if (input.size() < pos + 2) return SimResult::NeedMore();
  const int number = input[pos];
  int mode = input[pos + 1];
  if (mode >= '0' && mode <= '3') mode -= '0';
  if (mode <= 3 && m_store.Print(number, mode) && printer.Options().bVerbose) {
    std::fprintf(stderr, "sim: FS p %d %d -> %s\n", number, mode, m_store.LastPaper().c_str());
  }
  return SimResult::Consumed(pos + 2);
}

SimResult CTextCommand::Handle(std::span<const uint8_t> input, CSimPrinter&) {
  size_t n = 0;
  while (n < input.size() && IsText(input[n])) ++n;
  if (n == 0) return SimResult::NotMine();
  m_store.AddText(input.data(), n);
  return SimResult::Consumed(n);
}

void RegisterNvCommands(CSimPrinter& printer, CNvStore& store) {
  printer.AddCommand(std::make_unique<CFsDefineCommand>(store));
  printer.AddCommand(std::make_unique<CFsPrintCommand>(store));
  printer.AddCommand(std::make_unique<CTextCommand>(store));
}

bool ParsePaperOption(const std::vector<std::string>& args, size_t& i, std::string& dir,
                      std::string& error) {
  const std::string& a = args[i];
  if (a.rfind("--paper-dir=", 0) == 0) {
    dir = a.substr(12);
  } else if (a == "--paper-dir") {
    if (i + 1 >= args.size()) {
      error = "--paper-dir needs a value (DIR)";
      return true;
    }
    dir = args[++i];
  } else {
    return false;
  }
  if (dir.empty()) error = "--paper-dir needs a directory";
  return true;
}

const char* PaperOptionHelp() {
  return "  --paper-dir DIR      write each printed NV image (FS p) as DIR/paper-NNNN.png\n";
}

}  // namespace torva::sim
