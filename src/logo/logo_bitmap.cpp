#include "logo/logo_bitmap.h"

#include <bit>
#include <cstring>

#include "logo/error_diffusion.h"

namespace torva {
namespace {

constexpr float kRed = 0.3f;
constexpr float kGreen = 0.59f;
constexpr float kBlue = 0.11f;

// Summed in this order, in single precision, then truncated.
inline int LumOf(int r, int g, int b) {
  float s = kRed * static_cast<float>(r);
  s = s + kGreen * static_cast<float>(g);
  s = s + kBlue * static_cast<float>(b);
  return static_cast<int>(s);
}

// The three products of LumOf by channel value: the same single-precision products, looked
// up instead of multiplied, so the sums are the same bit for bit.
struct LumProducts {
  float r[256], g[256], b[256];
  LumProducts() {
    for (int v = 0; v < 256; ++v) {
      r[v] = kRed * static_cast<float>(v);
      g[v] = kGreen * static_cast<float>(v);
      b[v] = kBlue * static_cast<float>(v);
    }
  }
  int Lum(int red, int green, int blue) const {
    float s = r[red];
    s = s + g[green];
    s = s + b[blue];
    return static_cast<int>(s);
  }
};

const LumProducts& Products() {
  static const LumProducts products;
  return products;
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Colour-table index of pixel x in a row of an indexed depth.
inline int IndexAt(const std::uint8_t* row, int x, int bpp) {
  switch (bpp) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 2:
      return (row[x >> 2] >> ((3 - (x & 3)) * 2)) & 3;
    case 4:
      return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
      return row[x];
  }
}

}  // namespace

CLogoBitmap::CLogoBitmap(const LogoOptions& options) : m_options(options) {}

void CLogoBitmap::Reserve(std::size_t work, std::size_t raster) {
  // Not value-initialised: the conversion writes every byte it later reads.
  if (work > m_nWorkSize) {
    m_pWork.reset(new std::uint8_t[work]);
    m_nWorkSize = work;
    m_abWork = m_pWork.get();
  }
  if (raster > m_nRasterSize) {
    m_pRaster.reset(new std::uint8_t[raster]);
    m_nRasterSize = raster;
    m_abRaster = m_pRaster.get();
  }
}

bool CLogoBitmap::Loaded(BmpStatus status) {
  m_eStatus = status;
  m_bLoaded = status == BmpStatus::Ok;
  if (!m_bLoaded) {
    m_pixels.Clear();  // the layout keeps the size of a refused image for its message
    m_nWidth8 = 0;
    m_nHeight8 = 0;
    return false;
  }
  m_nWidth8 = (m_layout.nWidth + 7) / 8 * 8;
  m_nHeight8 = (m_layout.nHeight + 7) / 8 * 8;
  return true;
}

bool CLogoBitmap::Load(const std::string& path) {
  m_nDataLength = 0;
  Release();
  return Loaded(CBmpReader::ReadFile(path, kLogoWorkBytes, m_layout, &m_pixels));
}

bool CLogoBitmap::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
  m_nDataLength = 0;
  Release();
  if (data == nullptr) return Loaded(BmpStatus::NotBmp);
  // A copy of its own, so the caller's bytes need not outlive the load.
  m_pixels.file.assign(data, data + size);
  return Loaded(
      CBmpReader::ReadMemory(m_pixels.file.data(), size, kLogoWorkBytes, m_layout, &m_pixels));
}

void CLogoBitmap::Release() {
  m_bLoaded = false;
  m_pixels.Clear();
}

const std::uint8_t* CLogoBitmap::Row(int y) const {
  return m_pixels.rows + static_cast<std::size_t>(m_layout.FileRow(y)) * m_layout.nStride;
}

int CLogoBitmap::Luminance(int x, int y) const {
  if (!m_bLoaded || x < 0 || y < 0 || x >= m_layout.nWidth || y >= m_layout.nHeight) return 255;
  const std::uint8_t* row = Row(y);
  const int bpp = m_layout.nBitsPerPixel;
  switch (bpp) {
    case 1:
    case 2:
    case 4:
    case 8: {
      const std::uint8_t* c =
          &m_layout.abPalette[static_cast<std::size_t>(IndexAt(row, x, bpp)) * 4];
      return LumOf(c[2], c[1], c[0]);
    }
    case 16: {
      const std::uint32_t px = static_cast<std::uint32_t>(row[2 * x] | row[2 * x + 1] << 8);
      return LumOf(m_layout.red.Value(px), m_layout.green.Value(px), m_layout.blue.Value(px));
    }
    case 24:
      return LumOf(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case 32: {
      const std::uint32_t px = Le32(row + 4 * x);
      return LumOf(m_layout.red.Value(px), m_layout.green.Value(px), m_layout.blue.Value(px));
    }
    default:
      return 0;
  }
}

int CLogoBitmap::Dot(int x, int y) const {
  if (!m_bLoaded || m_layout.nBitsPerPixel != 1 || x < 0 || y < 0 || x >= m_layout.nWidth ||
      y >= m_layout.nHeight) {
    return 0;
  }
  int dot = IndexAt(Row(y), x, 1) ^ 1;
  if (m_layout.abPalette[0] != 0) dot ^= 1;
  return dot;
}

int CLogoBitmap::AdjustBrightness(int v, int threshold) {
  // Exact in double for every v and threshold of the ranges; the clamp comes before the
  // conversion so that no value is out of the integer's range.
  double d;
  if (threshold <= 128) {
    d = v * ((128.0 - threshold) / 128.0 + 1.0);
  } else {
    d = v * static_cast<double>(threshold) / 128.0 - (2.0 * threshold - 256.0);
  }
  if (!(d > 0.0)) return 0;
  if (d >= 255.0) return 255;
  return static_cast<int>(d);
}

void CLogoBitmap::FillBrightness() {
  std::uint8_t adjust[256];
  for (int v = 0; v < 256; ++v) {
    adjust[v] = static_cast<std::uint8_t>(AdjustBrightness(v, m_options.nThreshold));
  }
  const int bpp = m_layout.nBitsPerPixel;
  std::uint8_t indexed[256];
  if (bpp <= 8) {
    for (int i = 0; i < 256; ++i) {
      const std::uint8_t* c = &m_layout.abPalette[static_cast<std::size_t>(i) * 4];
      indexed[i] = adjust[LumOf(c[2], c[1], c[0])];
    }
  }
  const LumProducts& lum = Products();
  const BmpChannel red = m_layout.red, green = m_layout.green, blue = m_layout.blue;
  const int width = m_layout.nWidth;
  for (int y = 0; y < m_nHeight8; ++y) {
    std::uint8_t* out = m_abWork + static_cast<std::size_t>(y) * m_nWidth8;
    if (y >= m_layout.nHeight) {
      std::memset(out, 255, static_cast<std::size_t>(m_nWidth8));
      continue;
    }
    const std::uint8_t* row = Row(y);
    switch (bpp) {
      case 1:
      case 2:
      case 4:
        for (int x = 0; x < width; ++x) out[x] = indexed[IndexAt(row, x, bpp)];
        break;
      case 8:
        for (int x = 0; x < width; ++x) out[x] = indexed[row[x]];
        break;
      case 16:
        for (int x = 0; x < width; ++x) {
          const std::uint32_t px = static_cast<std::uint32_t>(row[2 * x] | row[2 * x + 1] << 8);
          out[x] = adjust[lum.Lum(red.Value(px), green.Value(px), blue.Value(px))];
        }
        break;
      case 24:
        for (int x = 0; x < width; ++x) {
          const std::uint8_t* p = row + 3 * x;
          out[x] = adjust[lum.Lum(p[2], p[1], p[0])];
        }
        break;
      default:
        for (int x = 0; x < width; ++x) {
          const std::uint32_t px = Le32(row + 4 * x);
          out[x] = adjust[lum.Lum(red.Value(px), green.Value(px), blue.Value(px))];
        }
        break;
    }
    std::memset(out + width, 255, static_cast<std::size_t>(m_nWidth8 - width));
  }
}

void CLogoBitmap::FillDots() {
  const int width = m_layout.nWidth;
  const int flip = m_layout.abPalette[0] != 0 ? 0 : 1;
  for (int y = 0; y < m_nHeight8; ++y) {
    std::uint8_t* out = m_abWork + static_cast<std::size_t>(y) * m_nWidth8;
    if (y >= m_layout.nHeight) {
      std::memset(out, 0, static_cast<std::size_t>(m_nWidth8));
      continue;
    }
    const std::uint8_t* row = Row(y);
    for (int x = 0; x < width; ++x) {
      out[x] = static_cast<std::uint8_t>(((row[x >> 3] >> (7 - (x & 7))) & 1) ^ flip);
    }
    std::memset(out + width, 0, static_cast<std::size_t>(m_nWidth8 - width));
  }
}

// m_abWork holds 0/1 per dot; each column becomes m_nHeight8 / 8 bytes, top bit on top.
void CLogoBitmap::PackColumns() {
  const int groups = m_nHeight8 / 8;
  const std::size_t w8 = static_cast<std::size_t>(m_nWidth8);
  for (int g = 0; g < groups; ++g) {
    const std::uint8_t* rows = m_abWork + static_cast<std::size_t>(g) * 8 * w8;
    for (std::size_t x = 0; x < w8; x += 8) {
      // Eight dots of eight rows at once: a dot is 0 or 1, so shifting a whole word of
      // them keeps every dot inside its byte.
      std::uint64_t acc = 0;
      for (int k = 0; k < 8; ++k) {
        std::uint64_t v;
        std::memcpy(&v, rows + k * w8 + x, 8);
        acc |= v << (7 - k);
      }
      std::uint8_t* col = m_abRaster + x * groups + g;
      if constexpr (std::endian::native == std::endian::little) {
        for (int i = 0; i < 8; ++i) col[i * groups] = static_cast<std::uint8_t>(acc >> (8 * i));
      } else {
        for (int i = 0; i < 8; ++i)
          col[i * groups] = static_cast<std::uint8_t>(acc >> (56 - 8 * i));
      }
    }
  }
}

void CLogoBitmap::PackGrayRows() {
  const std::size_t total = static_cast<std::size_t>(m_nWidth8) * m_nHeight8;
  for (std::size_t i = 0; i < total; i += 2) {
    m_abRaster[i / 2] = static_cast<std::uint8_t>(m_abWork[i] << 4 | m_abWork[i + 1]);
  }
}

bool CLogoBitmap::Refuse(BmpStatus status) {
  m_eStatus = status;
  m_nDataLength = 0;
  Release();
  return false;
}

int CLogoBitmap::CentrePad(int listPosition) const {
  if (listPosition < 1 || listPosition > kLogoMaxImages ||
      !m_options.abAutoCenter[static_cast<std::size_t>(listPosition - 1)] ||
      m_nWidth8 >= m_options.nMaxPrintWidth) {
    return 0;
  }
  return ((m_options.nMaxPrintWidth - m_nWidth8) / 2 + 7) / 8 * 8;
}

long CLogoBitmap::RasterBytes(int listPosition) const {
  if (!m_bLoaded) return 0;
  if (m_options.bGrayPrint) return static_cast<long>(m_nWidth8) * m_nHeight8 / 2;
  return (static_cast<long>(m_nWidth8) + CentrePad(listPosition)) * (m_nHeight8 / 8);
}

bool CLogoBitmap::MakeMonoRaster(int listPosition) {
  if (!m_bLoaded) {
    m_nDataLength = 0;
    return false;
  }
  const int groups = m_nHeight8 / 8;
  const int pad = CentrePad(listPosition);
  const long length = static_cast<long>(m_nWidth8) * groups;
  if ((static_cast<long>(m_nWidth8) + pad) * groups > kLogoRasterBytes) {
    return Refuse(BmpStatus::TooLarge);
  }
  Reserve(static_cast<std::size_t>(m_nWidth8) * m_nHeight8,
          static_cast<std::size_t>(m_nWidth8 + pad) * groups);
  if (m_layout.nBitsPerPixel == 1) {
    FillDots();
  } else {
    FillBrightness();
    DiffuseErrors(m_abWork, m_nWidth8, m_nHeight8, 1);
  }
  PackColumns();
  m_nDataLength = static_cast<int>(length);
  if (pad > 0) {
    const std::size_t front = static_cast<std::size_t>(pad) * groups;
    std::memmove(m_abRaster + front, m_abRaster, static_cast<std::size_t>(length));
    std::memset(m_abRaster, 0, front);
    m_nDataLength += static_cast<int>(front);
    m_nWidth8 += pad;
  }
  Release();
  return true;
}

bool CLogoBitmap::MakeGrayRaster() {
  if (!m_bLoaded) {
    m_nDataLength = 0;
    return false;
  }
  const long length = static_cast<long>(m_nWidth8) * m_nHeight8 / 2;
  if (length > kLogoRasterBytes) return Refuse(BmpStatus::TooLarge);
  Reserve(static_cast<std::size_t>(m_nWidth8) * m_nHeight8, static_cast<std::size_t>(length));
  FillBrightness();
  DiffuseErrors(m_abWork, m_nWidth8, m_nHeight8, 5);
  PackGrayRows();
  m_nDataLength = static_cast<int>(length);
  Release();
  return true;
}

}  // namespace torva
