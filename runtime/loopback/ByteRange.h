#pragma once
// The byte range a request asks for in its Range header. Media elements ask
// for ranges so that they can seek; the runtime answers them for files it
// serves itself.
#include <cstdint>
#include <optional>
#include <string_view>

struct ByteRange {
  std::uint64_t first = 0;  // first byte, inclusive
  std::uint64_t last = 0;   // last byte, inclusive

  enum class Outcome {
    kWhole,          // no usable single range: send the whole file
    kPartial,        // send [first, last]
    kUnsatisfiable,  // the range lies wholly past the end of the file
  };

  // Parses "bytes=a-b", "bytes=a-" and "bytes=-n" against a file of `size`
  // bytes. Several ranges, other units and malformed values give kWhole, as
  // a server may always answer with the whole body.
  static Outcome Parse(std::string_view header, std::uint64_t size, ByteRange* range);

  std::uint64_t Length() const { return last - first + 1; }
};
