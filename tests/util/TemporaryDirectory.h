#pragma once
// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes away. Tests write their files here
// so that they never touch the source tree or each other.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vellum-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
  }
  // Files a test made unreadable go as well: only the folder's own permissions decide.
  ~TemporaryDirectory() { std::error_code ignored; std::filesystem::remove_all(m_path, ignored); }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& Path() const { return m_path; }

  // Writes `bytes` exactly as given to the file `name` inside the folder.
  std::filesystem::path WriteFile(const std::filesystem::path& name, std::string_view bytes) const {
    const auto path = m_path / name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path.string());
    return path;
  }
  // The bytes of the file at `path`, empty when it cannot be read.
  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path m_path;
};
