#pragma once
// What the platform's Save dialog is asked to show, and what it answers.
#include <string>

struct SaveFileDialog {
  std::u16string title;
  // The one file type offered: its name and its pattern ("*.pdf"), which the
  // dialog matches without regard to ASCII case.
  std::u16string typeName;
  std::u16string typePattern;
  // The name proposed in the name field.
  std::u16string fileName;
  // A check box (a boolean choice) below the name, with its initial state.
  bool offerCheckBox = false;
  std::u16string checkBoxLabel;
  bool checkBoxState = false;
};

struct SaveFileDialogResult {
  // The chosen path as the user confirmed it (the dialog has asked before
  // replacing an existing file of that name).
  std::u16string path;
  // The check box's state when the dialog closed; only when one was offered.
  bool checkBoxOffered = false;
  bool checked = false;
};
