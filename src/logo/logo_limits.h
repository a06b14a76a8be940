// The fixed sizes of the logo converter and the NV bit image list. An image is refused
// before conversion when its rounded area or its raster would not fit these buffers.
#pragma once

namespace torva {

inline constexpr int kLogoWorkBytes = 640000;    // one byte per dot of the rounded area
inline constexpr int kLogoRasterBytes = 147456;  // packed raster, after centring or in grey
inline constexpr int kLogoMaxImages = 255;       // images in one define command

}  // namespace torva
