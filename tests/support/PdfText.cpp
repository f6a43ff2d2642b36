#include "PdfText.h"

#include <cstdio>

std::string PdfText(const std::string& pdf) {
    std::string text;
    if (FILE* pipe = popen(("pdftotext '" + pdf + "' - 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
            text.append(buffer, n);
        }
        pclose(pipe);
    }
    return text;
}
