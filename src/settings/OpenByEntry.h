#pragma once
#include <string>

// A file type opened by a named program.
struct OpenByEntry {
  std::u16string ext;
  std::u16string app;
};
