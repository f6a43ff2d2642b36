#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tamblin {

// One opened page, read front to back. Closing is destruction.
class PageInput {
public:
    virtual ~PageInput() = default;
    // Fills up to size bytes and returns the count: always size while that much is left, 0
    // at the end. May throw; a throw ends the page like the end of input.
    virtual size_t Read(char* buffer, size_t size) = 0;
    // The page ended because the server stopped answering, rather than at its end.
    virtual bool TimedOut() const { return false; }
    // The server's Content-Type, or "" when there is none (local files).
    virtual std::string ContentType() const { return ""; }
    // The server's Content-Language, or "" when there is none.
    virtual std::string ContentLanguage() const { return ""; }
    // Where the page really was read after redirects, or "" when it is where it was asked.
    virtual std::string FinalLocation() const { return ""; }
};

// Opens pages by location, for the scanner.
class PageSource {
public:
    virtual ~PageSource() = default;
    // Nothing when the page cannot be opened.
    virtual std::unique_ptr<PageInput> Open(const std::string& location) = 0;
    // Fetch-ahead: starts reading a page the scanner will open later. Sources that gain
    // nothing from it ignore it.
    virtual void Prefetch(const std::string& /*location*/) {}
    // How many more pages may be fetched ahead right now.
    virtual size_t PrefetchRoom() const { return 0; }
};

} // namespace tamblin
