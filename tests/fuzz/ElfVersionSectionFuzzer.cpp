// Feeds arbitrary bytes to the reader of a runtime library's version section.
// Every read the reader makes must lie inside the input, and whatever it
// returns is a non-empty text without NUL of bounded length.
#include "platform/linux/ElfVersionSection.h"

#include <cstring>
#include <string_view>

#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ElfVersionSection::ReadAt read = [bytes](std::uint64_t offset, void* buffer, std::size_t length) {
    // The reader checks bounds itself; a read outside the file is a fault.
    Check(offset <= bytes.size() && length <= bytes.size() - offset);
    std::memcpy(buffer, bytes.data() + offset, length);
    return true;
  };
  const auto text = ElfVersionSection::Find(read, bytes.size());
  if (text) {
    Check(!text->empty());
    Check(text->size() <= ElfVersionSection::kMaximumLength);
    Check(text->find('\0') == std::string::npos);
  }
  return 0;
}
