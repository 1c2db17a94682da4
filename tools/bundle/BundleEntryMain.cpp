// vellumview-bundle-entry APPDIR WORKDIR OUTDIR: checks APPDIR/settings.json
// as the program will read it and writes into OUTDIR the desktop entry that
// starts the program in WORKDIR (where the application will live) for that
// application, printing the entry's path. scripts/bundle-app uses it; exit status 0 on success, 1 with
// one line on standard error when the settings are not fit to ship, 2 for a
// bad command line.
#include <cstdio>
#include <filesystem>
#include <string>

#include "com/HResult.h"
#include "tools/bundle/DesktopEntry.h"
#include "tools/bundle/SettingsCheck.h"
#include "util/CommandLineTool.h"
#include "util/ReadFileToString.h"
#include "util/Strings.h"

namespace {

constexpr CommandLineTool kTool("vellumview-bundle-entry");

int Run(int argc, char** argv) {
  if (argc != 4) return kTool.Fail(2, "usage: vellumview-bundle-entry APPDIR WORKDIR OUTDIR");
  const std::filesystem::path folder(argv[1]);
  std::string text;
  // The program reads at most this much of its settings file as well.
  const HRESULT hr = ReadFileToString(Utf8ToWide((folder / "settings.json").string()), text);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    return kTool.Fail(1, (folder / "settings.json").string() + ": cannot be read (" + code + ")");
  }
  Settings settings;
  std::string error;
  const auto startPageExists = [&folder](const std::u16string& page) {
    std::error_code ec;
    return std::filesystem::is_regular_file(folder / WideToUtf8(page), ec);
  };
  if (!SettingsCheck::Check(text, startPageExists, &settings, &error)) return kTool.Fail(1, error);
  const auto entry = DesktopEntry::Make(WideToUtf8(settings.title), WideToUtf8(settings.browserID), argv[2]);
  if (!entry) return kTool.Fail(1, "the working directory cannot be written into a desktop entry");
  const std::filesystem::path file =
      std::filesystem::path(argv[3]) / DesktopEntry::FileName(WideToUtf8(settings.browserID));
  std::FILE* out = std::fopen(file.c_str(), "wx");
  if (!out) return kTool.Fail(1, file.string() + ": cannot be created");
  const bool written = std::fputs(entry->c_str(), out) >= 0;
  if (std::fclose(out) != 0 || !written) return kTool.Fail(1, file.string() + ": cannot be written");
  std::printf("%s\n", file.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return kTool.Main(Run, argc, argv); }
