#pragma once

#include <string>

namespace tamblin {

// What the text after a tag is for: kPlainText goes to OnText, kCollectText is gathered and
// handed to OnCollectedText as soon as a later tag changes the mode to anything else.
enum CollectMode : int { kPlainText = 0, kCollectText = 1 };

// Receives the events of a TagReader, in document order.
class TagHandler {
public:
    virtual ~TagHandler() = default;

    // The tag name as written ("/title" for an end tag); returns the CollectMode for the
    // text that follows.
    virtual int OnTag(const std::string& name) = 0;
    // The ">" that closes the current tag was read.
    virtual void OnTagEnd() = 0;
    // Name and value as written, quotes removed; a bare word arrives with an empty value.
    virtual void OnAttribute(const std::string& name, const std::string& value) = 0;
    virtual void OnCollectedText(const std::string& text) = 0;
    virtual void OnText(const std::string& text) = 0;

    // A handler that ignores plain text says so, and the reader then keeps none: plain text
    // is most of a page's bytes.
    virtual bool WantsPlainText() const { return true; }
};

} // namespace tamblin
