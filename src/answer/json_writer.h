#ifndef KVO_ANSWER_JSON_WRITER_H_
#define KVO_ANSWER_JSON_WRITER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvo {

// Writes one JSON text into a string as it is built: commas and nesting are
// kept track of, texts arrive as Windows-1252 and leave as escaped UTF-8.
class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The key of the next value inside an object (ASCII).
  void Key(std::string_view key);

  void String(std::string_view windows1252);
  void Number(int64_t value);
  void Bool(bool value);
  void Null();

  // A key and its value inside an object; an empty text as null where the
  // name says so.
  void StringMember(std::string_view key, std::string_view windows1252) {
    Key(key);
    String(windows1252);
  }
  void StringOrNullMember(std::string_view key, std::string_view windows1252) {
    Key(key);
    windows1252.empty() ? Null() : String(windows1252);
  }
  void NumberMember(std::string_view key, int64_t value) {
    Key(key);
    Number(value);
  }

 private:
  void Open(char bracket);
  void Close(char bracket);
  // A comma before every value but the first of its object or array.
  void BeforeValue();

  std::string& out_;
  std::vector<bool> has_items_;  // per open object or array
  bool after_key_ = false;
};

// `text` (Windows-1252) as a JSON string, quotes included, in UTF-8.
void AppendJsonString(std::string& out, std::string_view windows1252);

}  // namespace kvo

#endif  // KVO_ANSWER_JSON_WRITER_H_
