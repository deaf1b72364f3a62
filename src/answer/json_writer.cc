#include "answer/json_writer.h"

#include "base/windows1252.h"

namespace kvo {

void AppendJsonString(std::string& out, std::string_view windows1252) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char c : windows1252) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        } else {
          AppendUtf8(Windows1252ToUnicode(byte), out);
        }
    }
  }
  out += '"';
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendJsonString(out_, key);
  out_ += ':';
  after_key_ = true;
}

void JsonWriter::String(std::string_view windows1252) {
  BeforeValue();
  AppendJsonString(out_, windows1252);
}

void JsonWriter::Number(int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ += bracket;
  has_items_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  out_ += bracket;
  has_items_.pop_back();
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!has_items_.empty()) {
    if (has_items_.back()) out_ += ',';
    has_items_.back() = true;
  }
}

}  // namespace kvo
