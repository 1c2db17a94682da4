#pragma once
// A read-only stream over a part of a file, for range answers the runtime
// serves itself. Reads with pread from its own descriptor, so the position
// is its own and nothing beyond the range is ever read.
#include <cstdint>
#include <string>

#include "com/RuntimeClass.h"
#include "util/UniqueFd.h"
#include "com/IStream.h"

class FileRangeStream final : public RuntimeClass<IStream> {
 public:
  FileRangeStream(UniqueFd fd, std::uint64_t offset, std::uint64_t length)
      : m_fd(std::move(fd)), m_offset(offset), m_remaining(length) {}

  HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) override;

 private:
  UniqueFd m_fd;
  std::uint64_t m_offset;
  std::uint64_t m_remaining;
};
