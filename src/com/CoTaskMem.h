#pragma once
// The task allocator for strings and arrays handed across interfaces. The
// receiver of such a block owns it and frees it with CoTaskMemFree.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

void* CoTaskMemAlloc(std::size_t bytes);
void CoTaskMemFree(void* block);

// A separate copy of the text, terminated by NUL; null when memory runs out.
char16_t* CoTaskMemStrDup(std::u16string_view text);

struct CoTaskMemDeleter {
  void operator()(void* block) const { CoTaskMemFree(block); }
};
// Owns a string received from a callee, freeing it on every path.
using CoTaskMemString = std::unique_ptr<char16_t, CoTaskMemDeleter>;

// The text of a received string, empty for null.
inline std::u16string_view View(const CoTaskMemString& s) {
  return s ? std::u16string_view(s.get()) : std::u16string_view();
}
