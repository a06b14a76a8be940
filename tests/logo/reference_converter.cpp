#include "reference_converter.h"

namespace torva::test {

int RefLuminance(int r, int g, int b) {
  const float sum = 0.3f * static_cast<float>(r) + 0.59f * static_cast<float>(g) +
                    0.11f * static_cast<float>(b);
  return static_cast<int>(sum);
}

int RefAdjust(int v, int t) {
  double d = t <= 128 ? v * ((128.0 - t) / 128.0 + 1.0) : v * t / 128.0 - (2 * t - 256);
  int r = static_cast<int>(d);
  if (r < 0) r = 0;
  if (r > 255) r = 255;
  return r;
}

void RefDiffuse(std::vector<int>& work, int w, int h, int levels) {
  const int step = 255 / (levels + 1);
  auto add = [&](int x, int y, int share) {
    int& n = work[static_cast<std::size_t>(y) * w + x];
    n += share;
    if (n <= 0) n = 0;
    if (n > 255) n = 255;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int& dot = work[static_cast<std::size_t>(y) * w + x];
      const int v = dot;
      int q = levels == 1 ? v / step : (v + step / 2) / step;
      if (q < 0) q = 0;
      if (q > levels) q = levels;
      dot = levels - q;
      const int e = v - q * 255 / levels;
      if (x < w - 1) add(x + 1, y, e * 7 / 16);
      if (y < h - 1) {
        if (x > 0) add(x - 1, y + 1, e * 3 / 16);
        add(x, y + 1, e * 5 / 16);
        if (x < w - 1) add(x + 1, y + 1, e * 1 / 16);
      }
    }
  }
}

namespace {

std::vector<int> Brightness(const DecodedImage& im, int w8, int h8, int threshold) {
  std::vector<int> work(static_cast<std::size_t>(w8) * h8, 255);
  for (int y = 0; y < im.height; ++y) {
    for (int x = 0; x < im.width; ++x) {
      const auto& c = im.rgb[static_cast<std::size_t>(y) * im.width + x];
      work[static_cast<std::size_t>(y) * w8 + x] = RefAdjust(RefLuminance(c[0], c[1], c[2]), threshold);
    }
  }
  return work;
}

}  // namespace

RefRaster RefMono(const DecodedImage& im, int threshold, bool center, int maxWidth) {
  RefRaster r;
  r.width8 = (im.width + 7) / 8 * 8;
  r.height8 = (im.height + 7) / 8 * 8;
  std::vector<int> levels(static_cast<std::size_t>(r.width8) * r.height8, 0);
  if (im.bitsPerPixel == 1) {
    for (int y = 0; y < im.height; ++y) {
      for (int x = 0; x < im.width; ++x) {
        int dot = im.index[static_cast<std::size_t>(y) * im.width + x] == 0 ? 1 : 0;
        if (im.pal0Blue != 0) dot = 1 - dot;
        levels[static_cast<std::size_t>(y) * r.width8 + x] = dot;
      }
    }
  } else {
    levels = Brightness(im, r.width8, r.height8, threshold);
    RefDiffuse(levels, r.width8, r.height8, 1);
  }
  const int groups = r.height8 / 8;
  int pad = 0;
  if (center && r.width8 < maxWidth) pad = ((maxWidth - r.width8) / 2 + 7) / 8 * 8;
  r.bytes.assign(static_cast<std::size_t>(pad) * groups, 0);
  for (int x = 0; x < r.width8; ++x) {
    for (int g = 0; g < groups; ++g) {
      int byte = 0;
      for (int k = 0; k < 8; ++k) {
        if (levels[static_cast<std::size_t>(8 * g + k) * r.width8 + x]) byte |= 0x80 >> k;
      }
      r.bytes.push_back(static_cast<std::uint8_t>(byte));
    }
  }
  r.width8 += pad;
  return r;
}

RefRaster RefGray(const DecodedImage& im, int threshold) {
  RefRaster r;
  r.width8 = (im.width + 7) / 8 * 8;
  r.height8 = (im.height + 7) / 8 * 8;
  std::vector<int> levels = Brightness(im, r.width8, r.height8, threshold);
  RefDiffuse(levels, r.width8, r.height8, 5);
  for (int y = 0; y < r.height8; ++y) {
    for (int x = 0; x < r.width8; x += 2) {
      const std::size_t at = static_cast<std::size_t>(y) * r.width8 + x;
      r.bytes.push_back(static_cast<std::uint8_t>((levels[at] << 4) + levels[at + 1]));
    }
  }
  return r;
}

DecodedImage DecodedFromRgbi(const std::string& bytes, int width, int height, int bpp,
                             int pal0Blue) {
  DecodedImage im;
  im.width = width;
  im.height = height;
  im.bitsPerPixel = bpp;
  im.pal0Blue = pal0Blue;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    im.rgb.push_back({static_cast<std::uint8_t>(bytes[i]), static_cast<std::uint8_t>(bytes[i + 1]),
                      static_cast<std::uint8_t>(bytes[i + 2])});
    im.index.push_back(static_cast<std::uint8_t>(bytes[i + 3]));
  }
  return im;
}

}  // namespace torva::test
