// Replacing a whole file so that a reader (or a crash) only ever sees the old or the new
// contents: write a temporary file beside it, flush it to disk, then rename it over.
#pragma once

#include <functional>
#include <string>

namespace torva {

bool ReplaceFileAtomically(const std::string& path, const std::string& contents);

// Test hook: called after the temporary file is complete and before the rename.
void SetBeforeRenameHookForTest(std::function<void()> hook);

}  // namespace torva
