#include "contents/EntryFieldsStep.h"

#include "contents/EditObserver.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"

namespace tamblin {

namespace {

bool SameKeyword(const IndexKeyword& a, const IndexKeyword& b) {
    return a.m_owner == b.m_owner && a.m_phrase == b.m_phrase && a.m_anchor == b.m_anchor &&
           a.m_extraTitle == b.m_extraTitle && a.m_targetFrame == b.m_targetFrame &&
           a.m_ownTarget == b.m_ownTarget;
}

} // namespace

EntryFieldsStep::Fields EntryFieldsStep::Fields::Of(const IndexEntry& entry) {
    return Fields{entry.m_inContents, entry.m_baseUrl,     entry.m_url,
                  entry.m_title,      entry.m_targetFrame, entry.m_ownTarget,
                  entry.m_iconUrl,    entry.m_pageTip,     entry.m_keywords};
}

void EntryFieldsStep::Fields::ApplyTo(IndexEntry& entry) const {
    entry.m_inContents = inContents;
    entry.m_baseUrl = baseUrl;
    // An entry that refers to a base URL keeps it from being deleted.
    if (baseUrl) {
        baseUrl->m_inUse = 1;
    }
    entry.m_url = url;
    entry.m_title = title;
    entry.m_targetFrame = targetFrame;
    entry.m_ownTarget = ownTarget;
    entry.m_iconUrl = iconUrl;
    entry.m_pageTip = pageTip;
    entry.m_keywords = keywords;
}

bool EntryFieldsStep::Fields::operator==(const Fields& other) const {
    if (keywords.size() != other.keywords.size()) {
        return false;
    }
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        if (!SameKeyword(keywords[i], other.keywords[i])) {
            return false;
        }
    }
    return inContents == other.inContents && baseUrl == other.baseUrl && url == other.url &&
           title == other.title && targetFrame == other.targetFrame &&
           ownTarget == other.ownTarget && iconUrl == other.iconUrl && pageTip == other.pageTip;
}

std::size_t EntryFieldsStep::Fields::Bytes() const {
    std::size_t bytes = sizeof(*this) + url.size() + title.size() + targetFrame.size() +
                        iconUrl.size() + pageTip.size();
    for (const IndexKeyword& keyword : keywords) {
        bytes += sizeof(keyword) + keyword.m_phrase.size() + keyword.m_anchor.size() +
                 keyword.m_extraTitle.size() + keyword.m_targetFrame.size();
    }
    return bytes;
}

EntryFieldsStep::EntryFieldsStep(std::string name, IndexEntry& entry, Fields before, Fields after)
    : EditStep(std::move(name)), m_entry(&entry), m_before(std::move(before)),
      m_after(std::move(after)) {}

void EntryFieldsStep::Undo(EditObserver& observer) {
    m_before.ApplyTo(*m_entry);
    observer.EntryChanged(*m_entry);
}

void EntryFieldsStep::Redo(EditObserver& observer) {
    m_after.ApplyTo(*m_entry);
    observer.EntryChanged(*m_entry);
}

std::size_t EntryFieldsStep::Bytes() const {
    return sizeof(*this) + m_before.Bytes() + m_after.Bytes();
}

} // namespace tamblin
