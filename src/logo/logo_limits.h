// The limits of the logo converter and the NV bit image list. An image is refused
// before conversion when its rounded area or its raster would exceed them.
#pragma once

namespace torva {

inline constexpr int kLogoWorkBytes = 640000;    // the largest rounded area, in dots
inline constexpr int kLogoRasterBytes = 147456;  // packed raster, after centring or in grey
inline constexpr int kLogoMaxImages = 255;       // images in one define command

}  // namespace torva
