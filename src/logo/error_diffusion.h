// The converter's error diffusion: brightness values become print levels, and each dot's
// error is spread to its right neighbour (7/16) and to three dots of the row below (3/16,
// 5/16, 1/16), every share truncated toward zero and every neighbour clamped to 0..255
// after each addition, rows top to bottom, dots left to right.
//
// The result is exactly that of the plain dot-by-dot pass. It runs faster because it splits
// the pass: a serial chain per row (a dot's value needs the share of the dot before it)
// leaves each dot's error behind, and the shares for the row below are then added eight
// dots at a time. Four rows run together, each two blocks of eight dots behind the row
// above, so that a dot is read only when the row above has finished with it and the four
// chains overlap in the processor.
#pragma once

#include <cstdint>

namespace torva {

// work: width x height bytes, row-major, brightness 0..255 (255 white), both sizes at least
// 1. Afterwards each byte is a level 0..levels (0 white, levels darkest). levels is 1 for
// normal printing (step 127, no rounding) or 5 for grey printing (step 42, rounded).
void DiffuseErrors(std::uint8_t* work, int width, int height, int levels);
// The same without vector instructions (what builds for other processors use).
void DiffuseErrorsPlain(std::uint8_t* work, int width, int height, int levels);

}  // namespace torva
