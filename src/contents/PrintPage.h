#pragma once

#include <string>
#include <vector>

namespace tamblin {

// One drawing step of a printed page. Coordinates are hundredths of an inch, x to the right
// from the printable area's left edge and y upward from its top edge, so a page's lines lie
// at negative y. Texts are bytes of the index file; a text's top lies at y.
struct PrintOperation {
    enum class Kind { Text, Rectangle, Line };
    enum class Align { Left, Centre, Right };

    Kind kind = Kind::Text;
    int x = 0;
    int y = 0;
    // The opposite corner of a rectangle, the end of a line.
    int x2 = 0;
    int y2 = 0;
    bool bold = false;
    Align align = Align::Left;
    std::string text;
};

struct PrintPage {
    int number = 0;
    std::vector<PrintOperation> operations;
};

} // namespace tamblin
