// JSON for marlinq-cli's --json output: one value written as text, two spaces of indent per
// level. Keys and strings are escaped; bytes that are not UTF-8 (a module may answer in another
// encoding) become U+FFFD, so the output always parses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlinq::cli {

class JsonWriter {
  public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The key of the next value inside an object.
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view text);
    JsonWriter& Number(long long number);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // Key and value at once.
    JsonWriter& Field(std::string_view key, std::string_view text) { return Key(key).String(text); }
    JsonWriter& Field(std::string_view key, const char* text) { return Key(key).String(text); }
    JsonWriter& Field(std::string_view key, long long number) { return Key(key).Number(number); }
    JsonWriter& Field(std::string_view key, int number) { return Key(key).Number(number); }
    JsonWriter& Field(std::string_view key, bool value) { return Key(key).Bool(value); }

    // The text so far; a whole value once every object and array is closed, with a line end.
    std::string Text() const { return m_levels.empty() ? m_text + "\n" : m_text; }

  private:
    struct Level {
        bool empty;  // no value written inside yet
    };
    void BeforeValue();
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);

    std::string m_text;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

// text as a JSON string literal, quotes included.
std::string JsonQuoted(std::string_view text);

}  // namespace marlinq::cli
