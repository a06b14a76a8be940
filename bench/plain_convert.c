/* A plain converter of one BMP file into the image header and data of one mono NV bit
 * image, written straight from the conversion rules, dot by dot, with fixed work buffers.
 * It is the whole-process yardstick of scripts/run-bench.sh only: no checks beyond what
 * keeps it inside its buffers, uncompressed 1, 4, 8, 24 and 32 bits per pixel.
 * Usage: plain_convert IN.bmp OUT.bin */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define WORK_BYTES 640000
#define RASTER_BYTES 147456

static unsigned char work[WORK_BYTES];
static unsigned char raster[RASTER_BYTES];

static unsigned le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | (unsigned)p[3] << 24;
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  FILE* in = fopen(argv[1], "rb");
  if (!in) return 1;
  unsigned char fileHeader[14];
  if (fread(fileHeader, 1, 14, in) != 14) return 1;
  const unsigned offset = le32(fileHeader + 10);
  if (offset < 54) return 1;
  unsigned char* info = malloc(offset - 14);
  if (!info || fread(info, 1, offset - 14, in) != offset - 14) return 1;
  const int width = (int)le32(info + 4);
  const int height = (int)le32(info + 8);
  const int bpp = info[14];
  if (width <= 0 || height <= 0) return 1;
  const int stride = (width * bpp + 31) / 32 * 4;
  unsigned char* pixels = malloc((size_t)stride * height);
  if (!pixels || fread(pixels, 1, (size_t)stride * height, in) != (size_t)stride * height) return 1;
  fclose(in);

  const int width8 = (width + 7) / 8 * 8, height8 = (height + 7) / 8 * 8;
  if ((long)width8 * height8 > WORK_BYTES || (long)width8 * height8 / 8 > RASTER_BYTES) return 1;
  memset(raster, 0, sizeof raster);
  const unsigned char* palette = info + 40;
  const int threshold = 128;

  for (int y = 0; y < height8; ++y) {
    for (int x = 0; x < width8; ++x) {
      int v = 255;
      if (x < width && y < height) {
        const unsigned char* row = pixels + (size_t)(height - 1 - y) * stride;
        int r, g, b;
        if (bpp == 24 || bpp == 32) {
          const unsigned char* p = row + x * (bpp / 8);
          b = p[0];
          g = p[1];
          r = p[2];
        } else {
          int index;
          if (bpp == 1) {
            index = (row[x / 8] >> (7 - x % 8)) & 1;
          } else if (bpp == 4) {
            index = x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
          } else {
            index = row[x];
          }
          b = palette[4 * index];
          g = palette[4 * index + 1];
          r = palette[4 * index + 2];
        }
        float s = 0.3f * (float)r;
        s = s + 0.59f * (float)g;
        s = s + 0.11f * (float)b;
        v = (int)s;
        if (bpp == 1) {
          /* 1-bit pictures print their dots as they are. */
          int dot = (((row[x / 8] >> (7 - x % 8)) & 1) ^ 1);
          if (palette[0] != 0) dot ^= 1;
          v = dot ? 0 : 255;
        } else {
          double d = threshold <= 128 ? v * ((128.0 - threshold) / 128.0 + 1.0)
                                      : v * (double)threshold / 128.0 - (2.0 * threshold - 256.0);
          v = d <= 0.0 ? 0 : d >= 255.0 ? 255 : (int)d;
        }
      }
      work[y * width8 + x] = (unsigned char)v;
    }
  }

  const int step = 255 / 2;
  for (int y = 0; y < height8; ++y) {
    for (int x = 0; x < width8; ++x) {
      const int v = work[y * width8 + x];
      int q = v / step;
      if (q > 1) q = 1;
      work[y * width8 + x] = (unsigned char)(1 - q);
      if (bpp == 1) continue;
      const int e = v - q * 255;
      const int share[4] = {e * 7 / 16, e * 3 / 16, e * 5 / 16, e * 1 / 16};
      const int dx[4] = {1, -1, 0, 1}, dy[4] = {0, 1, 1, 1};
      for (int k = 0; k < 4; ++k) {
        const int nx = x + dx[k], ny = y + dy[k];
        if (nx < 0 || nx >= width8 || ny >= height8) continue;
        int n = work[ny * width8 + nx] + share[k];
        work[ny * width8 + nx] = (unsigned char)(n <= 0 ? 0 : n > 255 ? 255 : n);
      }
    }
  }

  const int groups = height8 / 8;
  for (int x = 0; x < width8; ++x) {
    for (int g = 0; g < groups; ++g) {
      int byte = 0;
      for (int k = 0; k < 8; ++k) byte |= work[(8 * g + k) * width8 + x] << (7 - k);
      raster[x * groups + g] = (unsigned char)byte;
    }
  }
  free(pixels);
  free(info);

  FILE* out = fopen(argv[2], "wb");
  if (!out) return 1;
  const unsigned char header[4] = {(unsigned char)(width8 / 8), (unsigned char)(width8 / 8 >> 8),
                                   (unsigned char)(groups), (unsigned char)(groups >> 8)};
  fwrite(header, 1, 4, out);
  fwrite(raster, 1, (size_t)width8 * groups, out);
  return fclose(out) == 0 ? 0 : 1;
}
