#ifndef KVO_TESTS_SUPPORT_FAKE_PROCESS_H_
#define KVO_TESTS_SUPPORT_FAKE_PROCESS_H_

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gateway/process_io.h"

namespace kvo::test {

// An environment from a map; a missing name reads as the empty text.
class MapEnvironment final : public Environment {
 public:
  explicit MapEnvironment(std::map<std::string, std::string> values)
      : values_(std::move(values)) {}
  std::string Get(const char* name) const override {
    auto found = values_.find(name);
    return found == values_.end() ? std::string() : found->second;
  }

 private:
  std::map<std::string, std::string> values_;
};

// Standard input from a string, handed out at most `piece` bytes per Read,
// as a pipe may deliver it.
class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string data, size_t piece = 1 << 30)
      : data_(std::move(data)), piece_(piece) {}
  size_t Read(char* buffer, size_t size) override {
    size_t n = std::min({size, piece_, data_.size() - pos_});
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  std::string data_;
  size_t piece_;
  size_t pos_ = 0;
};

// Standard output as a regular file (rewind and truncate work) or as a pipe
// (they do nothing); every Write call is recorded.
class StringSink final : public ByteSink {
 public:
  explicit StringSink(bool is_file = true) : is_file_(is_file) {}
  void Write(std::string_view bytes) override {
    writes.emplace_back(bytes);
    if (pos_ < contents.size()) {
      size_t overlap = std::min(bytes.size(), contents.size() - pos_);
      contents.replace(pos_, overlap, bytes.substr(0, overlap));
      contents.append(bytes.substr(overlap));
    } else {
      contents.append(bytes);
    }
    pos_ += bytes.size();
  }
  void Rewind() override {
    if (is_file_) pos_ = 0;
  }
  void TruncateHere() override {
    if (is_file_) contents.resize(pos_);
  }

  std::string contents;
  std::vector<std::string> writes;

 private:
  bool is_file_;
  size_t pos_ = 0;
};

}  // namespace kvo::test

#endif  // KVO_TESTS_SUPPORT_FAKE_PROCESS_H_
