#pragma once
#include <string>

// A file type offered for saving a copy: its name in the Save dialog, its
// extension key, and whether the dialog offers to open the copy.
struct SaveAsEntry {
  std::u16string name;
  std::u16string ext;
  bool open = false;
};
