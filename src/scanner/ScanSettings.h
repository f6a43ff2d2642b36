#pragma once

#include <string>

namespace tamblin {

// The options of one scan, as the New wizard and `tamblin-cli scan` collect them.
struct ScanSettings {
    std::string description;
    bool fromUrl = false; // start is a URL; otherwise a local file path
    std::string start;
    bool caseSignificant = false;
    bool ignoreBlankAnchors = true;
    bool noTitleIgnorePage = true;
    bool addOffSiteEntries = false;
    bool parseAll = false;
    bool anchorsAsKeywords = true;
    std::string skipTargetFrame;

    // Reading today's web. With all of these off a scan writes what the first scanner wrote.
    bool browserText = true;     // references and character sets decoded as browsers do
    bool headingKeywords = true; // headings with an id become keywords; <a id> is an anchor
    bool pagesByType = true;     // addresses without ".htm" are asked for and kept if HTML
    bool followRedirects = true; // a redirected start page is scanned where it ends; <base>
    bool shortenTitles = true;   // a part every page title shares is taken off
    bool skipScriptStyle = true; // script and style elements hold no markup
    bool polite = true;          // robots.txt and nofollow obeyed over HTTP
    bool tidyUrls = true;        // links resolved as browsers resolve them, stored shortest
    int delayMs = 0;             // at least this long between two requests to a host
    // Keeping the keyword index clean of what every page repeats (see ScanKeywordCleaner).
    bool skipCommonHeadings = true; // headings on over a fifth of the pages are left out
    bool skipTitleRepeats = true;   // "Title Manual Page" where that rest is common: left out
    bool oneCasePerPage = true;     // phrases differing only in case on one page are one
    // Links to files that are not there are problems of the scan, not entries, and a link to
    // a folder stands for its index page.
    bool checkFileLinks = true;
    // Permalink markers ("¶") are no part of a heading's text, footnote markers ("[1]") make
    // no keywords.
    bool skipMarkers = true;
    // Pages that declare another language than the start page's are not followed.
    bool startLanguageOnly = true;
    // Attribute values in single quotes are read as browsers read them, quotes taken off.
    bool singleQuotes = true;
    // The index remembers this scan (its options, and what it gave each entry), so that it
    // can later be updated from the site without losing the author's edits.
    bool rememberScan = true;
    // The words of every page are kept for a full-text search index beside the index file.
    bool fullText = true;

    // Every option above off: the scan of the first scanner, byte for byte.
    static ScanSettings Classic() {
        ScanSettings settings;
        settings.SetClassic();
        return settings;
    }
    void SetClassic() {
        browserText = headingKeywords = pagesByType = followRedirects = false;
        shortenTitles = skipScriptStyle = polite = tidyUrls = checkFileLinks = false;
        skipCommonHeadings = skipTitleRepeats = oneCasePerPage = false;
        skipMarkers = startLanguageOnly = singleQuotes = false;
        delayMs = 0;
        rememberScan = false;
        fullText = false;
    }
};

// One page waiting to be read, or being read.
struct ScanQueueItem {
    std::string url;      // relative to the base directory where possible; what the index shows
    std::string location; // the full path or URL read; set when the item is taken
    int parent = 0;       // entry under which this page's entry goes
    std::string referrer; // url of the page whose link queued this one
    std::string target;   // target frame of this page's entry and keywords
    int entryNumber = -1; // entry made from this page's title; -1 until then
    // Asked for to learn whether it is a page; when it is not, it becomes the entry that a
    // link to a file becomes, with this text under this parent.
    bool probe = false;
    std::string linkText;
    int linkParent = 0;
};

} // namespace tamblin
