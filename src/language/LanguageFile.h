#pragma once

#include "index/SaveResult.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

inline constexpr const char* kLanguageFormat = "2;1";
inline constexpr const char* kLanguageFilter =
    "Navora language files (*.xol)|*.xol|All Files (*.*)|*.*||";
inline constexpr const char* kLanguageExtension = "xol";
// "%1" is the format the file will be written with.
inline constexpr const char* kInvalidFormatMessage = "Invalid format - changing to \"%1\"";

// The texts the Navora applet shows, one language per file. A line's meaning is its
// position, so nothing but the format, the description and the texts is ever written.
class LanguageFile {
public:
    static constexpr int kTextCount = 19;
    // Parallel tables: the editor's label and a new file's text for each position.
    static const std::array<const char*, kTextCount> kLabels;
    static const std::array<const char*, kTextCount> kDefaults;
    // The script viewer's own texts, positions 20 on, which the applet never reads. Files of
    // the applet's days end before them; they are written only when a file had them or one
    // of them was changed, so such a file keeps its bytes.
    static constexpr int kViewerTextCount = 22;
    static const std::array<const char*, kViewerTextCount> kViewerDefaults;

    // A new file: format "2;1", no description, the default texts.
    LanguageFile();

    // An empty path or an unreadable file leaves the defaults and m_existed false; a file
    // that could be opened sets m_existed and is parsed. Either way m_path becomes `path`.
    void Read(const std::string& path);
    // True when the last Read met a file that is there but could not be read (a folder, no
    // permission): it must not be taken for a new file.
    bool ReadFailed() const { return m_readFailed; }
    // The bytes of an opened file: empty lines are skipped, texts are never trimmed, texts
    // past the end of the file are empty (the viewer's keep their defaults) and lines after
    // the viewer's last text are ignored.
    void Parse(std::string_view bytes);
    // True when the last Parse met a format line other than "2;1" (or none at all); the
    // caller tells the user with kInvalidFormatMessage. The file is written as "2;1".
    bool FormatChanged() const { return m_formatChanged; }

    // The file as it is written: every field followed by CR LF.
    std::string Bytes() const;
    // Why these fields cannot be written so that they read back in their places (a line
    // break, or an empty field that reading would skip); empty when they can.
    std::string FindUnwritableField() const;
    // Saved when written. The old file stays whole unless the new one was written whole; a
    // read-only file is left alone unless the options allow replacing it. A companion script
    // beside the file is written again too (CompanionStale says whether that failed).
    SaveResult Write(const std::string& path, ReplaceOptions options = {});
    bool CompanionStale() const { return m_companionStale; }

    std::string m_path;
    bool m_existed = false;
    std::string m_format;
    std::string m_description;
    std::vector<std::string> m_texts;
    std::vector<std::string> m_viewerTexts; // kViewerTextCount of them
    // How many of the viewer's texts the file held when it was read.
    size_t m_viewerTextsRead = 0;

private:
    void SetDefaults();
    // The viewer's texts that are written: those the file had, and more up to the last one
    // that differs from its default.
    size_t ViewerTextsToWrite() const;

    bool m_formatChanged = false;
    bool m_readFailed = false;
    bool m_companionStale = false;
};

} // namespace tamblin
