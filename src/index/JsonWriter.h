#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Writes JSON text to a stream as it is built, with no limit on nesting. Strings are UTF-8
// and are written as they are, apart from the characters JSON requires escaped.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out);
    ~JsonWriter();
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next value inside an object.
    void Key(std::string_view name);
    void String(std::string_view text);
    void Number(long long value);
    void Bool(bool value);
    void Null();
    // A key and its value in one call, for objects of known fields.
    void Field(std::string_view name, std::string_view text);
    void Field(std::string_view name, const char* text) { Field(name, std::string_view(text)); }
    void Field(std::string_view name, long long value);
    void Field(std::string_view name, int value) { Field(name, static_cast<long long>(value)); }
    void Field(std::string_view name, bool value);
    // Writes what is buffered; true when the stream took all of it.
    bool Flush();

    static void AppendEscaped(std::string& out, std::string_view text);

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);

    std::ostream& m_out;
    std::string m_buffer;
    // One flag per open object or array: whether a value has been written in it yet.
    std::vector<bool> m_hasValue;
    bool m_afterKey = false;
};

} // namespace tamblin
