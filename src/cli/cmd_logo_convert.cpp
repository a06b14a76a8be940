// "torvaset-cli logo convert": one BMP file becomes the bytes the define command carries
// for it as the first image of an upload: the 4-byte image header, then the image data.
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/messages.h"
#include "app/services.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cmd_logo.h"
#include "logo/logo_bitmap.h"
#include "logo/logo_list.h"
#include "logo/nv_commands.h"
#include "logo/raster_preview.h"

namespace torva::cli {
namespace {

constexpr const char* kUsage =
    "convert IN.bmp --out FILE [--gray] [--threshold N] [--center --max-width W]\n"
    "          [--png PREVIEW.png]   the image header and data of one NV bit image";

int Usage(const std::string& problem) {
  return UsageError("logo convert", problem, std::string("torvaset-cli logo ") + kUsage);
}

int Fail(const std::string& message, const std::string& detail) {
  ShowMessage(message, MsgIcon::Error);
  if (!detail.empty()) PrintReason(detail);
  return 1;
}

int RunLogoConvert(const Args& args) {
  if (HasFlag(args, "--help")) {
    std::printf("usage: torvaset-cli logo %s\n", kUsage);
    return 0;
  }
  const std::vector<std::string> values = {"--out", "--threshold", "--max-width", "--png"};
  std::string error;
  if (!CheckArgs(args, {{"--gray", "--center"}, values, 1}, error)) return Usage(error);
  const auto inputs = Positionals(args, values);
  if (inputs.size() != 1) return Usage("exactly one input bitmap is needed");
  const std::string in = inputs[0];
  const std::string out = FlagValue(args, "--out");
  if (out.empty()) return Usage("--out FILE is needed");

  LogoOptions options;
  options.bGrayPrint = HasFlag(args, "--gray");
  if (!ParseInt(FlagValue(args, "--threshold", "128"), 0, 255, options.nThreshold)) {
    return Usage("--threshold takes a number from 0 to 255");
  }
  if (!ParseInt(FlagValue(args, "--max-width", "512"), 1, 512, options.nMaxPrintWidth)) {
    return Usage("--max-width takes a number of dots from 1 to 512");
  }
  options.abAutoCenter[0] = HasFlag(args, "--center");
  if (options.bGrayPrint && options.abAutoCenter[0]) {
    std::fprintf(stderr, "torvaset-cli: grey images are never centred; --center is ignored\n");
  }

  auto bitmap = std::make_unique<CLogoBitmap>(options);
  if (!bitmap->Load(in)) {
    const BmpStatus status = bitmap->Status();
    if (status == BmpStatus::OpenFailed) {
      const std::string reason = ReadReason(in);
      return Fail(theMsg[MsgId::FileOpenError], reason.empty() ? in : reason);
    }
    if (status == BmpStatus::TooLarge) {
      return Fail(CLogoList::TooLargeText(bitmap->Width(), bitmap->Height()), in);
    }
    return Fail(theMsg[MsgId::BitmapFormatNotSupported], in + ": " + BmpStatusText(status));
  }
  const int width = bitmap->Width(), height = bitmap->Height();
  const bool made = options.bGrayPrint ? bitmap->MakeGrayRaster() : bitmap->MakeMonoRaster(1);
  if (!made) return Fail(CLogoList::TooLargeText(width, height), in);

  const NvBytes header =
      CNvCommands::ImageHeader(bitmap->m_nWidth8, bitmap->m_nHeight8, options.bGrayPrint);
  {
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(header.data()),
               static_cast<std::streamsize>(header.size()));
    file.write(reinterpret_cast<const char*>(bitmap->m_abRaster), bitmap->m_nDataLength);
    if (!file) return Fail(theMsg[MsgId::FileOpenError], FileReason(out, errno));
  }
  const std::string png = FlagValue(args, "--png");
  if (!png.empty()) {
    const auto dots = CRasterPreview::Dots(bitmap->m_abRaster, bitmap->m_nDataLength,
                                           bitmap->m_nWidth8, bitmap->m_nHeight8,
                                           options.bGrayPrint);
    if (!CRasterPreview::WritePng(png, dots, bitmap->m_nWidth8, bitmap->m_nHeight8)) {
      return Fail(theMsg[MsgId::FileOpenError], FileReason(png, errno));
    }
  }
  PrintDone(in + ": " + std::to_string(width) + " x " + std::to_string(height) + " dots, " +
            std::to_string(header.size() + static_cast<size_t>(bitmap->m_nDataLength)) +
            " bytes written to " + out);
  return 0;
}

const bool g_bRegistered = RegisterLogoCommand("convert", RunLogoConvert, kUsage);

}  // namespace
}  // namespace torva::cli
