// CLogoBitmap: one BMP file becomes the dots of one NV bit image. Load reads and checks the
// file; MakeMonoRaster packs 1 bit per dot in column format (and may centre the image),
// MakeGrayRaster 4 bits per dot in row format. The caller then reads m_nWidth8, m_nHeight8,
// m_nDataLength and m_abRaster.
//
// The work and raster buffers are sized to the picture and kept for the next one: they grow
// when a larger picture comes and are never cleared as a whole (every byte a conversion uses
// is written first), so a small logo costs no more memory than its own dots. The file is
// read once, into one buffer that holds its pixel rows. An image whose rounded area exceeds
// kLogoWorkBytes dots is refused by Load; one whose raster would exceed kLogoRasterBytes (in
// grey, or after centring) is refused by the Make operation before anything is converted.
// Status() tells why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "logo/bmp_reader.h"
#include "logo/logo_limits.h"
#include "logo/logo_options.h"

namespace torva {

class CLogoBitmap {
 public:
  // The options are read at each conversion and must outlive the object.
  explicit CLogoBitmap(const LogoOptions& options = theLogoOptions);
  explicit CLogoBitmap(LogoOptions&&) = delete;

  bool Load(const std::string& path);
  bool LoadFromMemory(const std::uint8_t* data, std::size_t size);
  // Forgets the loaded image; m_nDataLength and the raster stay as they are.
  void Release();
  bool IsLoaded() const { return m_bLoaded; }
  BmpStatus Status() const { return m_eStatus; }
  const BmpLayout& Layout() const { return m_layout; }
  int Width() const { return m_layout.nWidth; }
  int Height() const { return m_layout.nHeight; }
  int BitsPerPixel() const { return m_layout.nBitsPerPixel; }

  // Brightness 0..255 of pixel (x, y), y = 0 at the top: 0.3 R + 0.59 G + 0.11 B in single
  // precision, truncated. 255 outside the image or when nothing is loaded.
  int Luminance(int x, int y) const;
  // 1-bit images: 1 where a dot is printed (index 0, or index 1 when the colour table starts
  // with a non-zero blue); 0 outside the image.
  int Dot(int x, int y) const;

  // The brightness adjustment for diverging point threshold: 128 leaves v as it is, higher
  // values darken.
  static int AdjustBrightness(int v, int threshold);

  // listPosition: 1-based position of the image's entry in the logo list, whose
  // auto-centre flag applies (the tick belongs to the entry, not to the upload order). Both
  // return false (m_nDataLength 0) when nothing is loaded or the raster would not fit; both
  // release the loaded image.
  bool MakeMonoRaster(int listPosition);
  bool MakeGrayRaster();
  // Bytes the Make operation of the chosen mode would give the loaded image as the entry
  // at listPosition (grey, or mono with that entry's centring); above kLogoRasterBytes it
  // is refused. 0 when nothing is loaded.
  long RasterBytes(int listPosition) const;
  const LogoOptions& Options() const { return m_options; }

  int m_nWidth8 = 0;
  int m_nHeight8 = 0;
  int m_nDataLength = 0;
  // One byte per dot of the rounded area; the packed output, m_nDataLength bytes. Both
  // stay valid until the next Make operation; null before the first one.
  std::uint8_t* m_abWork = nullptr;
  std::uint8_t* m_abRaster = nullptr;

 private:
  bool Loaded(BmpStatus status);
  const std::uint8_t* Row(int y) const;
  void FillBrightness();
  void FillDots();
  void PackColumns();
  void PackGrayRows();
  bool Refuse(BmpStatus status);
  // Makes the buffers hold at least work dots and raster bytes.
  void Reserve(std::size_t work, std::size_t raster);
  // Blank columns centring puts in front of the entry at listPosition (0: no centring).
  int CentrePad(int listPosition) const;

  const LogoOptions& m_options;
  BmpLayout m_layout;
  BmpPixels m_pixels;
  std::unique_ptr<std::uint8_t[]> m_pWork, m_pRaster;
  std::size_t m_nWorkSize = 0, m_nRasterSize = 0;
  bool m_bLoaded = false;
  BmpStatus m_eStatus = BmpStatus::OpenFailed;
};

}  // namespace torva
