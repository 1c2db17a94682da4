#pragma once
// A read-only stream over a file for the test host's responses, reading a
// piece at a time like the program's own file stream.
#include <cstdio>
#include <memory>
#include <string>

#include "com/RuntimeClass.h"
#include "webview/IStream.h"

class FileStream final : public RuntimeClass<IStream> {
 public:
  // Null when the file cannot be opened for reading (or is a folder).
  static ComPtr<IStream> Open(const std::string& path);

  HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) override;

  // How many Read calls the engine made, to show the body was streamed.
  static int ReadCalls();

 private:
  explicit FileStream(std::FILE* file) : m_file(file, &std::fclose) {}
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_file;
};
