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
    // Which part of a text too long for its room gives way: the end of prose, the middle of
    // a path or URL, whose start and file name both matter.
    enum class Elide { End, Middle };

    Kind kind = Kind::Text;
    int x = 0;
    int y = 0;
    // The opposite corner of a rectangle, the end of a line.
    int x2 = 0;
    int y2 = 0;
    bool bold = false;
    Align align = Align::Left;
    std::string text;
    // The x a text must not run past, a centred one on either side of x; 0 for no limit.
    int right = 0;
    Elide elide = Elide::End;
    // A path of the file system, in its encoding rather than the index file's.
    bool fileName = false;
};

struct PrintPage {
    int number = 0;
    std::vector<PrintOperation> operations;
};

} // namespace tamblin
