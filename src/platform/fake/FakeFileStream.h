#pragma once
// The read-only stream the fake system hands out for a file's content: it
// reads from a copy of the content as a file stream reads from disk, in
// pieces, with S_FALSE once fewer bytes remained than were asked for.
#include <algorithm>
#include <cstring>
#include <string>

#include "com/IStream.h"
#include "com/RuntimeClass.h"

class FakeFileStream final : public RuntimeClass<IStream> {
 public:
  explicit FakeFileStream(std::string content) : m_content(std::move(content)) {}

  HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) override {
    if (bytesRead) *bytesRead = 0;
    if (!buffer && bytes > 0) return E_POINTER;
    const std::size_t count = std::min<std::size_t>(bytes, m_content.size() - m_position);
    if (count > 0) std::memcpy(buffer, m_content.data() + m_position, count);
    m_position += count;
    if (bytesRead) *bytesRead = static_cast<ULONG>(count);
    return count == bytes ? S_OK : S_FALSE;
  }

  HRESULT Stat(STATSTG* statstg, DWORD) override {
    if (!statstg) return E_POINTER;
    *statstg = STATSTG{nullptr, STGTY_STREAM, m_content.size()};
    return S_OK;
  }

 private:
  std::string m_content;
  std::size_t m_position = 0;
};
