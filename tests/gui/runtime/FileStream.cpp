#include "FileStream.h"

#include <sys/stat.h>

namespace {
int g_readCalls = 0;
}

ComPtr<IStream> FileStream::Open(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return nullptr;
  return ComPtr<IStream>(AdoptRef(static_cast<IStream*>(new FileStream(file))));
}

HRESULT FileStream::Read(void* buffer, ULONG bytes, ULONG* bytesRead) {
  ++g_readCalls;
  const std::size_t n = std::fread(buffer, 1, bytes, m_file.get());
  if (bytesRead) *bytesRead = static_cast<ULONG>(n);
  if (n < bytes && std::ferror(m_file.get())) return E_FAIL;
  return n == bytes ? S_OK : S_FALSE;
}

int FileStream::ReadCalls() { return g_readCalls; }
