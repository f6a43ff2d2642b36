#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// A companion is a script beside a file the search page's viewer reads (an index or a
// language file) that holds the file's bytes, so that a page opened from disk can show the
// file where the browser refuses to let the page read it (Chromium refuses every file://
// request). Its name is the file's name with ".js" added: site.xo -> site.xo.js. The viewer
// reads the file itself first and takes the companion only where that fails, so over http a
// stale companion never shows.
//
// The script is one fixed text around the bytes in base64: nothing in a file can end the
// string or the call, whatever bytes it holds.

// "site.xo" -> "site.xo.js".
std::string CompanionPath(const std::string& path);

// The companion script of a file holding `bytes`.
std::string CompanionScript(std::string_view bytes);

// The bytes a companion script holds; nothing when `script` is not exactly one that
// CompanionScript writes.
std::optional<std::string> CompanionBytes(std::string_view script);

enum class CompanionWrite {
    Written,
    NoFile,      // the file is not there (or cannot be read): no companion is written
    CannotWrite, // the companion could not be written; any old one is kept whole
};

// Writes the companion of the file at `path` from the bytes on disk, through a temporary
// file beside it that replaces the old companion only once written whole.
CompanionWrite WriteCompanion(const std::string& path);

// After `path` was saved: rewrites its companion when it has one; a file without a companion
// gets none. False only when a companion is there and could not be rewritten.
bool RefreshCompanion(const std::string& path);

} // namespace tamblin
