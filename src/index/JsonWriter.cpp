#include "index/JsonWriter.h"

#include <ostream>

namespace tamblin {

namespace {

constexpr size_t kFlushSize = 1 << 16;

} // namespace

JsonWriter::JsonWriter(std::ostream& out) : m_out(out) {
    m_buffer.reserve(kFlushSize + 4096);
}

JsonWriter::~JsonWriter() {
    Flush();
}

bool JsonWriter::Flush() {
    m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.clear();
    return static_cast<bool>(m_out);
}

void JsonWriter::AppendEscaped(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    size_t plain = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') {
            continue;
        }
        out.append(text.substr(plain, i - plain));
        plain = i + 1;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    out.append(text.substr(plain));
    out += '"';
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasValue.empty()) {
        if (m_hasValue.back()) {
            m_buffer += ',';
        }
        m_hasValue.back() = true;
    }
    if (m_buffer.size() >= kFlushSize) {
        Flush();
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    m_buffer += bracket;
    m_hasValue.push_back(false);
}

void JsonWriter::Close(char bracket) {
    m_buffer += bracket;
    m_hasValue.pop_back();
}

void JsonWriter::BeginObject() {
    Open('{');
}

void JsonWriter::EndObject() {
    Close('}');
}

void JsonWriter::BeginArray() {
    Open('[');
}

void JsonWriter::EndArray() {
    Close(']');
}

void JsonWriter::Key(std::string_view name) {
    BeforeValue();
    AppendEscaped(m_buffer, name);
    m_buffer += ':';
    m_afterKey = true;
}

void JsonWriter::String(std::string_view text) {
    BeforeValue();
    AppendEscaped(m_buffer, text);
}

void JsonWriter::Number(long long value) {
    BeforeValue();
    m_buffer += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_buffer += value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    m_buffer += "null";
}

void JsonWriter::Field(std::string_view name, std::string_view text) {
    Key(name);
    String(text);
}

void JsonWriter::Field(std::string_view name, long long value) {
    Key(name);
    Number(value);
}

void JsonWriter::Field(std::string_view name, bool value) {
    Key(name);
    Bool(value);
}

} // namespace tamblin
