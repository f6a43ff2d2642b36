#pragma once

#include <string>

// The text of a PDF file as pdftotext extracts it, pages separated by form feeds; empty
// when pdftotext is missing or cannot read the file.
std::string PdfText(const std::string& pdf);
