#include "logo/upload_check.h"

#include <memory>

#include "app/messages.h"
#include "logo/logo_bitmap.h"

namespace torva {
std::optional<std::string> UnsendableReason(const CLogoBitmap& converter, int listPosition) {
  const bool korean = theMsg.IsKorean();
  if (!converter.IsLoaded()) {
    switch (converter.Status()) {
      case BmpStatus::OpenFailed:
        return korean ? "파일을 읽을 수 없습니다" : "the file cannot be read";
      case BmpStatus::TooLarge:
      {
        const std::string size =
            std::to_string(converter.Width()) + " x " + std::to_string(converter.Height());
        return korean ? "이미지가 너무 큽니다 (" + size + " 도트)"
                      : "the image of " + size + " dots is too large";
      }
      default:
        return std::string(theMsg[MsgId::BitmapFormatNotSupported]);
    }
  }
  const long bytes = converter.RasterBytes(listPosition);
  if (bytes <= kLogoRasterBytes) return std::nullopt;
  const std::string size = std::to_string(bytes), limit = std::to_string(kLogoRasterBytes);
  if (converter.Options().bGrayPrint) {
    return korean ? "회색 래스터 " + size + " 바이트가 " + limit + " 바이트를 넘습니다"
                  : "its grey raster of " + size + " bytes exceeds " + limit + " bytes";
  }
  return korean ? "가운데 정렬한 래스터 " + size + " 바이트가 " + limit + " 바이트를 넘습니다"
                : "its centred raster of " + size + " bytes exceeds " + limit + " bytes";
}

std::optional<UnsendableEntry> FindUnsendableEntry(const LogoEntryLists& entries,
                                                   const LogoOptions& options) {
  auto converter = std::make_unique<CLogoBitmap>(options);
  for (std::size_t i = 0; i < entries.Count() && i < static_cast<std::size_t>(kLogoMaxImages); ++i) {
    const std::string& path = i < entries.paths.size() ? entries.paths[i] : std::string();
    converter->Load(path);
    std::optional<std::string> reason = UnsendableReason(*converter, static_cast<int>(i) + 1);
    converter->Release();
    if (reason) return UnsendableEntry{path, std::move(*reason)};
  }
  return std::nullopt;
}

std::string UnsendableText(const UnsendableEntry& entry, bool uploadStarted) {
  if (theMsg.IsKorean()) {
    return entry.strPath + " 파일을 보낼 수 없습니다: " + entry.strReason + ".\r\n" +
           (uploadStarted ? "업로드를 끝냈습니다. 이 파일과 그 뒤의 이미지는 비어 있습니다."
                          : "프린터에 아무것도 보내지 않았습니다.");
  }
  return entry.strPath + " cannot be sent: " + entry.strReason + ".\r\n" +
         (uploadStarted ? "The upload was ended; this image and the ones after it are empty."
                        : "Nothing was sent to the printer.");
}

}  // namespace torva
