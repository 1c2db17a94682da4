#pragma once
// The file-operation table: extension key to the handler that owns the
// operation for it. Keys are kept exactly as the settings write them, so
// only a key written with its dot and in lower case can ever match a looked
// up extension key.
#include <map>
#include <memory>
#include <string>

#include "fileops/FileProc.h"
#include "fileops/ISaveCopyTarget.h"
#include "settings/Settings.h"

using FileProcTable = std::map<std::u16string, std::unique_ptr<FileProc>>;

// The key of the built-in folder-link handler.
inline constexpr char16_t kOpenFolderKey[] = u".openfolder";

// Builds the table in this order, the first entry for a key winning:
// saveAsExt (saved through `target`), shellExecuteExt, openBy, then
// ".openfolder".
FileProcTable BuildFileProcTable(const Settings& settings, ISaveCopyTarget* target);
