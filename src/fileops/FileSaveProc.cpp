#include "fileops/FileSaveProc.h"

#include "fileops/GetExtensionKey.h"
#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/Win32Error.h"

HRESULT FileSaveProc::Run(const std::u16string& path) {
  const HWND window = m_target ? m_target->GetSaveCopyWindow() : nullptr;
  if (!Platform::System().FileExists(path)) {
    Platform::Windowing().MessageBox(window, std::u16string(LoadStringResource(IDS_FILE_NOT_FOUND)) + path, u"",
                                     MB_OK);
    return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  }
  if (!m_target || !window) return E_UNEXPECTED;
  const std::size_t nameStart = path.rfind(u'/') == std::u16string::npos ? 0 : path.rfind(u'/') + 1;
  const std::size_t dot = FindExtension(path);
  SaveCopyRequest request;
  request.fileTitle = path.substr(nameStart, dot - nameStart);
  request.extension = path.substr(dot);
  request.sourcePath = path;
  request.entry = m_entry;
  m_target->QueueSaveCopy(std::move(request));
  return S_OK;
}
