// What is checked before an upload sends its first byte: every entry's file still loads, and
// its raster fits the converter in the chosen mode (grey, or mono after centring by the
// entry's own tick). The printer erases its NV memory at the define start, so an entry that
// cannot be sent must be found before then, and the user told which file and why.
#pragma once

#include <optional>
#include <string>

#include "logo/logo_list.h"
#include "logo/logo_options.h"

namespace torva {

class CLogoBitmap;

struct UnsendableEntry {
  std::string strPath;
  std::string strReason;  // in the language of the messages
};

// The reason the loaded (or refused) image of converter cannot be sent as the entry at
// listPosition (1-based): nullopt when it can.
std::optional<std::string> UnsendableReason(const CLogoBitmap& converter, int listPosition);

// The first entry of the list that cannot be sent; nullopt when every one can.
std::optional<UnsendableEntry> FindUnsendableEntry(const LogoEntryLists& entries,
                                                   const LogoOptions& options);

// The message for it: before the upload (nothing was sent) or part way through it.
std::string UnsendableText(const UnsendableEntry& entry, bool uploadStarted);

}  // namespace torva
