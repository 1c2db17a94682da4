#include "fileops/ShellOpen.h"

#include <string>
#include <vector>

#include "platform/ISystem.h"
#include "platform/Platform.h"
#include "util/Strings.h"

void ShellOpen(std::u16string_view file, std::optional<std::u16string_view> parameters) {
  ISystem& system = Platform::System();
  const HRESULT hr = parameters ? system.StartProgram(file, {std::u16string(*parameters)})
                                : system.OpenWithDefaultHandler(file);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(hr));
    system.WriteDebugLine("ShellOpen failed (0x" + std::string(code) + "): " + WideToUtf8(file));
  }
}
