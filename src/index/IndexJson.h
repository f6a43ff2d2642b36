#pragma once

#include <iosfwd>

namespace tamblin {

class IndexFile;

// The index as the reader understood it, as one JSON object: header texts, base URLs, the
// contents tree with every entry's keywords, the Other Index keywords and the bad lines.
// Texts are written as they are held, so they must be UTF-8. Trees of any depth are
// written without recursion. False when the stream failed.
bool WriteIndexJson(const IndexFile& index, std::ostream& out);

} // namespace tamblin
