#pragma once
// Sets or removes (value null) one environment variable for the life of the
// object and puts the previous state back afterwards.
#include <stdlib.h>

#include <optional>
#include <string>

class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(std::string name, const char* value) : m_name(std::move(name)) {
    if (const char* previous = ::getenv(m_name.c_str())) m_previous = previous;
    Set(value);
  }
  ~ScopedEnvironmentVariable() { Set(m_previous ? m_previous->c_str() : nullptr); }
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  void Set(const char* value) const { value ? ::setenv(m_name.c_str(), value, 1) : ::unsetenv(m_name.c_str()); }

  std::string m_name;
  std::optional<std::string> m_previous;
};
