#pragma once
// Makes a folder the working directory for the life of the object and goes
// back to the previous one afterwards, even when a test fails half-way.
#include <filesystem>

class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::filesystem::path& folder) : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~ScopedWorkingDirectory() { std::error_code ignored; std::filesystem::current_path(m_previous, ignored); }
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

 private:
  std::filesystem::path m_previous;
};
