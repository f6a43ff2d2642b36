#include "index/IndexJson.h"

#include "index/IndexFile.h"
#include "index/JsonWriter.h"

#include <vector>

namespace tamblin {

namespace {

void WriteKeyword(JsonWriter& json, const IndexKeyword& keyword) {
    json.BeginObject();
    json.Field("phrase", keyword.m_phrase);
    json.Field("anchor", keyword.m_anchor);
    json.Field("extraTitle", keyword.m_extraTitle);
    json.Field("fullUrl", keyword.FullUrl());
    json.Field("fullTitle", keyword.FullTitle());
    json.Field("target", keyword.m_targetFrame);
    json.Field("ownTarget", keyword.m_ownTarget != 0);
    json.EndObject();
}

// Everything of an entry up to its open list of children.
void BeginEntry(JsonWriter& json, const IndexEntry& entry) {
    json.BeginObject();
    json.Field("id", entry.m_id);
    json.Field("title", entry.m_title);
    json.Field("url", entry.m_url);
    json.Key("baseUrl");
    if (entry.m_baseUrl) {
        json.Number(entry.m_baseUrl->m_id);
    } else {
        json.Null();
    }
    json.Field("fullUrl", entry.FullUrl());
    json.Field("target", entry.m_targetFrame);
    json.Field("ownTarget", entry.m_ownTarget != 0);
    json.Field("icon", entry.m_iconUrl);
    json.Field("tip", entry.m_pageTip);
    json.Field("inContents", entry.m_inContents != 0);
    json.Key("keywords");
    json.BeginArray();
    for (const IndexKeyword& keyword : entry.m_keywords) {
        WriteKeyword(json, keyword);
    }
    json.EndArray();
    json.Key("children");
    json.BeginArray();
}

// The children of `top`, depth first; an index can be far deeper than the call stack.
void WriteChildren(JsonWriter& json, const IndexEntry& top) {
    struct Frame {
        const IndexEntry* entry;
        size_t next;
    };
    std::vector<Frame> stack = {{&top, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.entry->m_children.size()) {
            stack.pop_back();
            if (!stack.empty()) {
                json.EndArray();
                json.EndObject();
            }
            continue;
        }
        const IndexEntry& child = *frame.entry->m_children[frame.next++];
        BeginEntry(json, child);
        stack.push_back({&child, 0});
    }
}

void WriteHeader(JsonWriter& json, const IndexFile& index) {
    json.Field("description", index.m_description);
    json.Field("date", index.m_dateText);
    json.Field("tip", index.m_tipText);
    json.Key("format");
    json.BeginArray();
    json.Number(index.m_formatMajor);
    json.Number(index.m_formatMinor);
    json.EndArray();
    json.Field("coding", index.m_coding);
}

void WriteBaseUrls(JsonWriter& json, const IndexFile& index) {
    json.Key("baseUrls");
    json.BeginArray();
    for (const auto& baseUrl : index.m_baseUrls) {
        json.BeginObject();
        json.Field("id", baseUrl->m_id);
        json.Field("url", baseUrl->m_url);
        json.Field("target", baseUrl->m_targetFrame);
        json.EndObject();
    }
    json.EndArray();
}

void WriteOtherKeywords(JsonWriter& json, const IndexFile& index) {
    json.Key("otherKeywords");
    json.BeginArray();
    for (const IndexKeyword& keyword : index.m_otherKeywords.m_keywords) {
        json.BeginObject();
        json.Field("phrase", keyword.m_phrase);
        json.Field("url", keyword.m_anchor);
        json.Field("title", keyword.m_extraTitle);
        json.Field("target", keyword.m_targetFrame);
        json.EndObject();
    }
    json.EndArray();
}

} // namespace

bool WriteIndexJson(const IndexFile& index, std::ostream& out) {
    JsonWriter json(out);
    json.BeginObject();
    WriteHeader(json, index);
    WriteBaseUrls(json, index);
    json.Key("contents");
    json.BeginArray();
    WriteChildren(json, index.m_root);
    json.EndArray();
    WriteOtherKeywords(json, index);
    json.Key("badLines");
    json.BeginArray();
    for (const std::string& line : index.BadLines()) {
        json.String(line);
    }
    json.EndArray();
    json.EndObject();
    return json.Flush();
}

} // namespace tamblin
