#pragma once

#include "scanner/TagReader.h"

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tamblin {

// What the scanner knows of the page it is reading: the tag it is in, the link and anchor
// being read, the meta keywords waiting for the page's end and the heading being read.
// StartPage forgets everything that belongs to the page before.
struct ScanPageState {
    // Tag states: inside a title or an anchor, their ends, and the other tags that matter.
    enum Tag : int {
        kNoTag = 0,
        kInTitle = 1,
        kInAnchor = 2,
        kInHeading = 3,
        kTitleEnd = -1,
        kAnchorEnd = -2,
        kFrameTag = -3,
        kMetaTag = -4,
        kOtherTag = -5,
        kHeadingTag = -6,
    };

    void StartPage(size_t metaKeywordRoom) {
        metaKeywords.clear();
        this->metaKeywordRoom = metaKeywordRoom;
        titleSeen = false;
        tag = kNoTag;
        linkDirectory.reset();
        pageNoFollow = false;
        title.clear();
        anchorIds.clear();
        sectionId.clear();
        inHeading = headingClosing = headingAnchor = false;
        declaredLanguage.clear();
        htmlLanguage.clear();
        inHtmlTag = otherLanguage = false;
        languageKnown = true;
    }
    // A tag that may carry a link: what an earlier one carried is gone.
    void ForgetLink() {
        link.clear();
        target.clear();
        noFollowLink = false;
    }
    void StartAnchor() {
        ForgetLink();
        anchorName.clear();
        anchorKeywords.clear();
    }

    int tag = kNoTag;
    bool titleSeen = false;
    int entry = 0; // the entry of the page, once its title was read
    std::string title;
    std::optional<std::string> linkDirectory;
    bool pageNoFollow = false;
    std::vector<std::string> metaKeywords;
    size_t metaKeywordRoom = 0;
    std::string metaName;
    std::string metaContent;

    // The link or anchor of the tag being read.
    std::string link;
    std::string target;
    bool noFollowLink = false;
    std::string anchorName;
    std::vector<std::string> anchorKeywords;
    std::string lastTagName;
    std::unordered_set<std::string> anchorIds;

    // Headings: the element with an id whose first heading has not come yet, and the
    // heading being read.
    std::string sectionTag;
    std::string sectionId;
    int sectionDepth = 0;
    bool inHeading = false;
    bool headingClosing = false;
    bool headingAnchor = false;
    std::string headingRaw;
    std::string headingAnchorText;
    std::string headingId;
    std::string headingLinkId;
    std::string headingSectionId;

    // The page's language: what the server said, and <html lang>. Once known, a page in
    // another language than the start page's is read no further.
    std::string declaredLanguage;
    std::string htmlLanguage;
    bool inHtmlTag = false;
    bool languageKnown = true;
    bool otherLanguage = false;
};

} // namespace tamblin
