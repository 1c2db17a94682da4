#pragma once
// Sets or removes one environment variable for the life of the object and
// puts the previous state back afterwards.
#include <stdlib.h>

#include <optional>
#include <string>

class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(std::string name, const char* value) : m_name(std::move(name)) {
    if (const char* previous = ::getenv(m_name.c_str())) m_previous = previous;
    if (value != nullptr) {
      ::setenv(m_name.c_str(), value, 1);
    } else {
      ::unsetenv(m_name.c_str());
    }
  }
  ~ScopedEnvironmentVariable() {
    if (m_previous) {
      ::setenv(m_name.c_str(), m_previous->c_str(), 1);
    } else {
      ::unsetenv(m_name.c_str());
    }
  }
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_previous;
};
