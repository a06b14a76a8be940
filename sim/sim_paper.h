// The simulated receipt: a greyscale page that printed text lines and NV images are drawn
// on, written as a PNG file. Text uses a small built-in 5 x 7 dot font, drawn twice its
// size in cells of 12 x 20 dots; a character outside printable ASCII is drawn as a box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torva::sim {

class CPaper {
 public:
  static constexpr int kMinWidth = 512;  // dots across an 80 mm receipt
  static constexpr int kCellWidth = 12;
  static constexpr int kCellHeight = 20;
  static constexpr int kLineGap = 4;

  explicit CPaper(int width) : m_nWidth(width < kMinWidth ? kMinWidth : width) {}
  int Width() const { return m_nWidth; }
  int Height() const { return static_cast<int>(m_pixels.size()) / m_nWidth; }
  // Feeds the paper by rows of white dots.
  void Feed(int rows);
  // A line of text below what is printed so far.
  void PrintText(const std::string& line);
  // Dots below what is printed so far: dot(x, y) gives 0 (white) .. 255 (black) ink.
  template <typename DotFn>
  void PrintDots(int width, int height, DotFn dot) {
    const int top = Height();
    Feed(height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width && x < m_nWidth; ++x) {
        m_pixels[static_cast<std::size_t>(top + y) * m_nWidth + x] =
            static_cast<uint8_t>(255 - dot(x, y));
      }
    }
  }
  // 8-bit greyscale PNG; false when the file cannot be written.
  bool WritePng(const std::string& path) const;
  // Width the text needs.
  static int TextWidth(const std::string& line) {
    return static_cast<int>(line.size()) * kCellWidth;
  }
  uint8_t Pixel(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_nWidth + x]; }

 private:
  int m_nWidth;
  std::vector<uint8_t> m_pixels;  // 255 white, 0 black
};

}  // namespace torva::sim
