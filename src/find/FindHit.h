#pragma once

namespace tamblin {

class IndexEntry;

// Where find stopped: the node, and which of its fields held the text. The kind decides
// which properties page shows the text for editing.
struct FindHit {
    enum class Kind { Title, General, Keyword, BaseUrl };

    IndexEntry* node = nullptr;
    Kind kind = Kind::Title;
    // The keyword or base URL, counted from 1; 0 for the title and the general fields.
    int position = 0;
};

} // namespace tamblin
