#include "fileops/FileProcTable.h"

#include "fileops/FileOpenByProc.h"
#include "fileops/FileOpenProc.h"
#include "fileops/FileSaveProc.h"
#include "fileops/FolderOpenProc.h"

FileProcTable BuildFileProcTable(const Settings& settings, ISaveCopyTarget* target) {
  FileProcTable table;
  // A key already present keeps its handler, so an earlier list wins.
  for (const SaveAsEntry& entry : settings.saveAsExt)
    if (!table.contains(entry.ext)) table.emplace(entry.ext, std::make_unique<FileSaveProc>(target, entry));
  for (const std::u16string& ext : settings.shellExecuteExt)
    if (!table.contains(ext)) table.emplace(ext, std::make_unique<FileOpenProc>());
  for (const OpenByEntry& entry : settings.openBy)
    if (!table.contains(entry.ext)) table.emplace(entry.ext, std::make_unique<FileOpenByProc>(entry.app));
  if (!table.contains(kOpenFolderKey)) table.emplace(kOpenFolderKey, std::make_unique<FolderOpenProc>());
  return table;
}
