#pragma once

#include "index/RecordSink.h"

#include <string>
#include <string_view>

namespace tamblin {

// The one writer of index file records: Save and the scanner both write through it, so the
// layout of every record is known here alone. Fields go out as given; whether a text may
// stand in a field is the caller's check.
class IndexRecordWriter {
public:
    enum class Style {
        // What Save writes: CR LF line ends, nothing after a record's last field.
        Saved,
        // The scanner's own file: LF line ends, and base URL, entry and keyword records
        // closed with one more separator.
        Scanned,
    };

    // A field written in two pieces, as a reference and the text after it ("&12" "#top"),
    // so that no caller builds a string for it.
    struct Field {
        Field(std::string_view text) : head(text) {}   // NOLINT: a text is a field
        Field(const std::string& text) : head(text) {} // NOLINT: a text is a field
        Field(const char* text) : head(text) {}        // NOLINT: a text is a field
        Field(std::string_view first, std::string_view rest) : head(first), tail(rest) {}
        std::string_view head;
        std::string_view tail;
    };

    IndexRecordWriter(RecordSink& sink, Style style) : m_out(sink), m_style(style) {}

    // "XO0;2;1;1", then ";" and the program that wrote the file when one is named.
    void Header(std::string_view creatorName, std::string_view creatorVersion);
    void Description(std::string_view description, std::string_view date);
    // A tip text: the index's own (id "0") or an entry's.
    void Tip(std::string_view id, std::string_view text);
    void BaseUrl(std::string_view id, std::string_view url, std::string_view target);
    // Returns where the title starts in the file, for a writer that changes it afterwards.
    long long Entry(std::string_view id, std::string_view baseId, std::string_view url,
                    std::string_view title, std::string_view target, std::string_view parentId,
                    std::string_view icon);
    void Keyword(Field phrase, Field anchor, Field extraTitle, std::string_view target);
    // The lines that remember a scan, which every reader of the format skips.
    void ScanSource(std::string_view encoded);
    void ScanMark(std::string_view id, std::string_view encoded);

    RecordSink& Sink() { return m_out; }

private:
    void Put(Field field) { m_out.append(field.head).append(field.tail); }
    void End(bool closable);

    RecordSink& m_out;
    Style m_style;
};

} // namespace tamblin
