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
};

// One page waiting to be read, or being read.
struct ScanQueueItem {
    std::string url;      // relative to the base directory where possible; what the index shows
    std::string location; // the full path or URL read; set when the item is taken
    int parent = 0;       // entry under which this page's entry goes
    std::string referrer; // url of the page whose link queued this one
    std::string target;   // target frame of this page's entry and keywords
    int entryNumber = -1; // entry made from this page's title; -1 until then
};

} // namespace tamblin
