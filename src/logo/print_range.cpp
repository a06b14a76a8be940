#include "logo/print_range.h"

#include <algorithm>
#include <cstdlib>

#include "app/text_util.h"

namespace torva {
namespace {

// The value of a run of digits, saturated well above 255 so that long texts cannot
// overflow; -1 for an empty run.
int NumberOf(const std::string& digits) {
  if (digits.empty()) return -1;
  int value = 0;
  for (char c : digits) {
    value = std::min(value * 10 + (c - '0'), 100000);
  }
  return value;
}

bool InImageRange(int n) { return n >= kFirstImageNumber && n <= kLastImageNumber; }

// One comma-separated part with a '-': its start and end with the empty ones filled in.
// The start is the number before the first '-', the end the number after it; further
// '-' separated numbers are checked by the validation but take no part in the range.
void RangeBounds(const std::string& part, int& start, int& end) {
  const std::vector<std::string> pieces = Split(part, '-');
  start = pieces[0].empty() ? kFirstImageNumber : NumberOf(pieces[0]);
  end = pieces[1].empty() ? kLastImageNumber : NumberOf(pieces[1]);
}

std::string StripEdgeCommas(const std::string& text) {
  std::string s = text;
  if (!s.empty() && s.front() == ',') s.erase(s.begin());
  if (!s.empty() && s.back() == ',') s.pop_back();
  return s;
}

}  // namespace

bool ValidatePrintRange(const std::string& text) {
  if (text.empty() || text == ",") return false;
  for (char c : text) {
    if (c != '-' && c != ',' && (c < '0' || c > '9')) return false;
  }
  if (text.find(",,") != std::string::npos || text.find("--") != std::string::npos) {
    return false;
  }
  for (const std::string& part : Split(StripEdgeCommas(text), ',')) {
    if (part.find('-') == std::string::npos) {
      if (!InImageRange(NumberOf(part))) return false;
      continue;
    }
    const std::vector<std::string> pieces = Split(part, '-');
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const bool edge = i == 0 || i + 1 == pieces.size();
      if (pieces[i].empty() && edge) continue;  // filled with 1 or 255
      if (!InImageRange(NumberOf(pieces[i]))) return false;
    }
  }
  return true;
}

bool ParsePrintRange(const std::string& text, RangeList& list, int& total) {
  if (!ValidatePrintRange(text)) return false;
  RangeList added;
  int count = 0;
  for (const std::string& part : Split(StripEdgeCommas(text), ',')) {
    if (part.find('-') == std::string::npos) {
      added.push_back(std::to_string(NumberOf(part) + kRangeSingleOffset));
      ++count;
      continue;
    }
    int start = 0, end = 0;
    RangeBounds(part, start, end);
    if (end < start) std::swap(start, end);
    added.push_back(std::to_string(start));
    added.push_back(std::to_string(end));
    count += end - start + 1;
  }
  list.insert(list.end(), added.begin(), added.end());
  total = count;
  return true;
}

std::vector<int> ExpandRangeList(const RangeList& list) {
  std::vector<int> numbers;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const int e = std::atoi(list[i].c_str());
    if (e > kRangeSingleOffset) {
      numbers.push_back(e - kRangeSingleOffset);
    } else if (i + 1 < list.size()) {
      const int last = std::atoi(list[++i].c_str());
      for (int n = e; n <= last; ++n) numbers.push_back(n);
    }
  }
  return numbers;
}

}  // namespace torva
