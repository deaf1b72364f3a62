#include "logread/gzip_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/gzip_bytes.h"
#include "support/memory_stream.h"

namespace kvo::test {
namespace {

// Log-like lines that compress only about 3:1, so that `lines` of them can
// outgrow the stream's input buffer.
std::string SampleText(int lines) {
  std::string text;
  unsigned long long state = 11;
  char line[80];
  for (int i = 0; i < lines; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    std::snprintf(line, sizeof line, "01.03.2024 00:%02d:%02d\t%016llx\r\n",
                  i / 60 % 60, i % 60, state);
    text += line;
  }
  return text;
}

struct Outcome {
  std::string text;
  std::string error;  // empty when the stream ended with 0
};

// Reads the whole stream `read_size` bytes at a time from compressed bytes
// handed out in `pieces`; checks that the last answer is repeated.
Outcome Inflate(const std::string& gzip, size_t read_size,
                std::vector<size_t> pieces, const std::string& failure) {
  std::unique_ptr<ReadStream> stream = MakeGzipStream(
      std::make_unique<MemoryStream>(gzip, std::move(pieces), failure));
  Outcome outcome;
  std::string buffer(read_size, '\0');
  for (;;) {
    ptrdiff_t count = stream->Read(buffer.data(), buffer.size());
    if (count <= 0) {
      EXPECT_EQ(stream->Read(buffer.data(), buffer.size()), count);
      EXPECT_EQ(stream->error().empty(), count == 0) << stream->error();
      if (count < 0) outcome.error = stream->error();
      return outcome;
    }
    outcome.text.append(buffer.data(), static_cast<size_t>(count));
  }
}

TEST(GzipStreamTest, InflatesOrReportsTheDamage) {
  const std::string a = SampleText(300);
  const std::string b = "second member\r\n";
  const std::string big = SampleText(12000);  // about 160 KB compressed
  const std::string gz_a = GzipBytes(a);
  const std::string truncated = "unexpected end of compressed data";
  auto with_byte = [](std::string bytes, size_t at, char value) {
    bytes[at] = value;
    return bytes;
  };
  auto flipped = [&](size_t at) {
    return with_byte(gz_a, at, static_cast<char>(~gz_a[at]));
  };
  struct Case {
    std::string name;
    std::string gzip;
    std::string text;
    bool whole;                // all of `text`, or a prefix of it
    std::string error;         // expected error(); empty: a clean end
    std::string failure = {};  // the compressed stream's own read error
  };
  std::vector<Case> cases = {
      {"one member", gz_a, a, true, ""},
      {"two members", gz_a + GzipBytes(b), a + b, true, ""},
      {"member without data", GzipBytes(""), "", true, ""},
      {"empty member between two", gz_a + GzipBytes("") + GzipBytes(b), a + b,
       true, ""},
      {"stored, not compressed", GzipBytes(a, 0), a, true, ""},
      {"larger than the input buffer", GzipBytes(big), big, true, ""},
      {"zero padding after the last member", gz_a + std::string(3000, '\0'), a,
       true, ""},
      {"garbage after the last member", gz_a + "x", a, true,
       "trailing garbage after compressed data"},
      {"member after zero padding", gz_a + std::string(2, '\0') + gz_a, a, true,
       "trailing garbage after compressed data"},
      {"empty file", "", "", true, truncated},
      {"plain text", a, "", true, "not gzip data"},
      {"zero bytes", std::string(10, '\0'), "", true, "not gzip data"},
      {"second magic byte wrong", with_byte(gz_a, 1, 'x'), "", true,
       "not gzip data"},
      {"not deflate", with_byte(gz_a, 2, 9), "", true,
       "invalid compressed data"},
      {"invalid block type", with_byte(gz_a, 10, 7), "", true,
       "invalid compressed data"},
      {"CRC mismatch", flipped(gz_a.size() - 8), a, true, "CRC mismatch"},
      {"length mismatch", flipped(gz_a.size() - 1), a, true, "length mismatch"},
      {"second member cut after its magic", gz_a + "\x1f", a, true, truncated},
      {"read error of the file", gz_a.substr(0, gz_a.size() / 2), a, false,
       "Input/output error", "Input/output error"},
  };
  for (size_t cut : {1, 2, 9, 10, 200}) {
    cases.push_back({"cut after " + std::to_string(cut) + " bytes",
                     gz_a.substr(0, cut), a, false, truncated});
  }
  for (size_t cut : {gz_a.size() / 2, gz_a.size() - 8, gz_a.size() - 1}) {
    // From the trailer on, all of the text has been inflated.
    cases.push_back(
        {"cut " + std::to_string(gz_a.size() - cut) + " bytes before the end",
         gz_a.substr(0, cut), a, cut >= gz_a.size() - 8, truncated});
  }
  const struct {
    const char* name;
    size_t read_size;
    std::vector<size_t> pieces;
  } ways[] = {
      {"1-byte reads of 1-byte pieces", 1, {1}},
      {"4 KiB reads of uneven pieces", 4096, {7, 3000, 2}},
      {"1 MiB reads of the whole", 1 << 20, {}},
  };
  for (const Case& c : cases) {
    for (const auto& way : ways) {
      SCOPED_TRACE(c.name + ", " + way.name);
      Outcome outcome = Inflate(c.gzip, way.read_size, way.pieces, c.failure);
      EXPECT_EQ(outcome.error, c.error);
      if (c.whole) {
        EXPECT_TRUE(outcome.text == c.text) << outcome.text.size() << " bytes";
      } else {
        EXPECT_TRUE(c.text.starts_with(outcome.text))
            << outcome.text.size() << " bytes, not a prefix";
      }
    }
  }
}

}  // namespace
}  // namespace kvo::test
