#include "index/IndexJson.h"

#include "index/IndexFile.h"
#include "index/JsonWriter.h"

#include <vector>

namespace tamblin {

namespace {

void WriteKeyword(JsonWriter& json, const IndexKeyword& keyword) {
    json.BeginObject();
    json.Key("phrase");
    json.String(keyword.m_phrase);
    json.Key("anchor");
    json.String(keyword.m_anchor);
    json.Key("extraTitle");
    json.String(keyword.m_extraTitle);
    json.Key("fullUrl");
    json.String(keyword.FullUrl());
    json.Key("fullTitle");
    json.String(keyword.FullTitle());
    json.Key("target");
    json.String(keyword.m_targetFrame);
    json.Key("ownTarget");
    json.Bool(keyword.m_ownTarget != 0);
    json.EndObject();
}

// Everything of an entry up to its open list of children.
void BeginEntry(JsonWriter& json, const IndexEntry& entry) {
    json.BeginObject();
    json.Key("id");
    json.Number(entry.m_id);
    json.Key("title");
    json.String(entry.m_title);
    json.Key("url");
    json.String(entry.m_url);
    json.Key("baseUrl");
    if (entry.m_baseUrl) {
        json.Number(entry.m_baseUrl->m_id);
    } else {
        json.Null();
    }
    json.Key("fullUrl");
    json.String(entry.FullUrl());
    json.Key("target");
    json.String(entry.m_targetFrame);
    json.Key("ownTarget");
    json.Bool(entry.m_ownTarget != 0);
    json.Key("icon");
    json.String(entry.m_iconUrl);
    json.Key("tip");
    json.String(entry.m_pageTip);
    json.Key("inContents");
    json.Bool(entry.m_inContents != 0);
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
    json.Key("description");
    json.String(index.m_description);
    json.Key("date");
    json.String(index.m_dateText);
    json.Key("tip");
    json.String(index.m_tipText);
    json.Key("format");
    json.BeginArray();
    json.Number(index.m_formatMajor);
    json.Number(index.m_formatMinor);
    json.EndArray();
    json.Key("coding");
    json.Number(index.m_coding);
}

void WriteBaseUrls(JsonWriter& json, const IndexFile& index) {
    json.Key("baseUrls");
    json.BeginArray();
    for (const auto& baseUrl : index.m_baseUrls) {
        json.BeginObject();
        json.Key("id");
        json.Number(baseUrl->m_id);
        json.Key("url");
        json.String(baseUrl->m_url);
        json.Key("target");
        json.String(baseUrl->m_targetFrame);
        json.EndObject();
    }
    json.EndArray();
}

void WriteOtherKeywords(JsonWriter& json, const IndexFile& index) {
    json.Key("otherKeywords");
    json.BeginArray();
    for (const IndexKeyword& keyword : index.m_otherKeywords.m_keywords) {
        json.BeginObject();
        json.Key("phrase");
        json.String(keyword.m_phrase);
        json.Key("url");
        json.String(keyword.m_anchor);
        json.Key("title");
        json.String(keyword.m_extraTitle);
        json.Key("target");
        json.String(keyword.m_targetFrame);
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
