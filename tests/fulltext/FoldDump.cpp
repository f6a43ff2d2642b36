// Prints, for every code point, its kind and what it folds to, one line each ("41 1 61"),
// then the words of the texts given on standard input, one text a line; fold_parity.js
// prints the same from the viewer's script and compares.
#include "fulltext/WordFold.h"
#include "fulltext/WordTokenizer.h"

#include <cstdio>
#include <iostream>
#include <string>

int main() {
    using tamblin::WordFold;
    std::string out;
    char buffer[32];
    std::u32string folded;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        folded.clear();
        WordFold::Append(c, folded);
        std::snprintf(buffer, sizeof buffer, "%X %d", static_cast<unsigned>(c),
                      static_cast<int>(WordFold::KindOf(c)));
        out += buffer;
        for (char32_t f : folded) {
            std::snprintf(buffer, sizeof buffer, " %X", static_cast<unsigned>(f));
            out += buffer;
        }
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::string words;
        tamblin::WordTokenizer::Split(line, [&](const tamblin::WordToken& token) {
            words += token.word + "@" + std::to_string(token.start) + "-" +
                     std::to_string(token.end) + " ";
        });
        std::cout << words << '\n';
    }
    return 0;
}
