#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tamblin {

// keywords FILE.xo: the phrases readers find in the index, with their page counts; or one
// phrase renamed or removed everywhere, written to a new file.
class KeywordsCli {
public:
    KeywordsCli(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}
    // args: what follows "keywords". Exit 0 done, 1 OLD or PHRASE is not a phrase of the
    // index, 2 the file cannot be read or OUT written, 64 wrong usage.
    int Run(const std::vector<std::string>& args);

    static constexpr int kDone = 0;
    static constexpr int kNoSuchPhrase = 1;
    static constexpr int kCannotOpen = 2;
    static constexpr int kUsage = 64;

private:
    int Usage(std::ostream& stream, int code);

    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace tamblin
