#pragma once

#include <string>
#include <string_view>

namespace tamblin {

// Leading decimal integer as the C library reads it. A result of 0 from a text that does not
// begin with "0" throws ParseError(kNotAnInteger), so "abc", "" and " 0" all fail.
int ParseInteger(std::string_view text);
std::string IntToText(long long n);
std::string ReplaceChar(std::string_view text, char from, char to);
// Removes only the space character, never tabs: fields keep any other white space.
std::string_view TrimSpaces(std::string_view text);
// Without the HTML white space (space, tab, CR, LF, VT, FF) at either end.
std::string_view TrimWhite(std::string_view text);
void StripPrefix(std::string& text, std::string_view prefix);
std::string EnsureTrailingSlash(std::string_view text);
// A keyword field written without a reference loses a leading "&" on reading (and "&12"
// would even become a reference), so such a field gets a second "&", which reading takes
// off again. Reading trims spaces first, so a field that starts with spaces and then "&"
// needs it too; the added "&" then also keeps those spaces.
std::string PlainKeywordField(std::string_view text);
// True when the text holds ";" or a line break, which would end a field or a record of an
// index file.
bool HasFieldBreak(std::string_view text);
// Why an index file could not keep this description, or empty when it can.
std::string DescriptionProblem(std::string_view description);
// Lowers A to Z and nothing else: for names the web spells in ASCII (tags, attributes,
// schemes, media types), whatever bytes surround them.
std::string AsciiLower(std::string_view text);
// 0 to 15 for a hexadecimal digit of either case, -1 for any other byte.
int HexDigitValue(char c);
// Decodes %XX escapes; a % without two hexadecimal digits stays as it is.
std::string PercentDecode(std::string_view text);
// Percent-encodes the bytes the set holds, the controls and every byte above ASCII.
std::string PercentEncode(std::string_view text, std::string_view set);
// Lowers ASCII letters and the Latin-1 letters, read as UTF-8 when the text is valid UTF-8
// and as Windows-1252 otherwise; other bytes stay as they are.
std::string LowerText(std::string_view text);
// Without matchCase the text is lowered here; the caller passes the pattern already lowered.
bool FindInText(std::string_view pattern, std::string_view text, bool matchCase, bool wholeWord);

} // namespace tamblin
