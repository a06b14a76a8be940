// The selection of NV images to print, as the user types it on the print page: numbers and
// ranges 1..255 separated by commas ("1-3,7", "250-", "-2"). ValidatePrintRange tells
// whether a text is acceptable; ParsePrintRange turns it into a RangeList and the number of
// prints it asks for. Both are pure: the caller shows NvImageNumberIncorrect for a refused
// selection.
#pragma once

#include <string>
#include <vector>

namespace torva {

// Decimal texts in the order typed. A range a..b is two entries, a then b (a <= b, both
// 1..255); a single number n is one entry n + 256 (257..511). An entry of 256 or less
// therefore starts a pair.
using RangeList = std::vector<std::string>;

inline constexpr int kRangeSingleOffset = 256;
inline constexpr int kFirstImageNumber = 1;
inline constexpr int kLastImageNumber = 255;

// Refused: any character other than '-', ',' and '0'..'9'; ",," or "--"; an empty text or
// ","; any number outside 1..255 (an empty range start counts as 1, an empty end as 255).
bool ValidatePrintRange(const std::string& text);

// Validates, drops one comma at the start and one at the end, then adds each part in the
// order typed: "n" as n + 256 (one print), "a-b" as a, b with the two exchanged when b < a
// (b - a + 1 prints). Duplicates stay. False (list and total unchanged) for a refused text;
// otherwise the entries are appended to list and total is the number of prints.
bool ParsePrintRange(const std::string& text, RangeList& list, int& total);

// The image numbers a RangeList prints, in order (what the print dialog sends).
std::vector<int> ExpandRangeList(const RangeList& list);

}  // namespace torva
