#pragma once
// Replacing a file's contents atomically: the new bytes go into a temporary
// file beside it, which is synced and renamed over the old one, so a reader
// sees the old file or the new one, never a part. Internal to platform/win.

#include <string>
#include <string_view>

namespace win::detail {

// Returns 0 or the errno of the step that failed (the old file then stays
// whole). A new file gets the permissions 0666 less the umask; a replaced
// file keeps its own.
int ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace win::detail
