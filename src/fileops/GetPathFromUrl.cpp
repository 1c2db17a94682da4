#include "fileops/GetPathFromUrl.h"

#include "com/HResult.h"
#include "util/FileUrl.h"

std::u16string GetPathFromUrl(std::u16string_view url) {
  std::u16string path;
  if (FAILED(FileUrlToPath(url, path))) return std::u16string();
  return path;
}
