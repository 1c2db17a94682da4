#pragma once
// A throw-away content folder with the test web application: a page, its
// script, style sheet, JSON, WebAssembly module, worker, a second page and
// a video file, removed again when the object goes.
#include <string>

class TestContent {
 public:
  TestContent();
  ~TestContent();
  TestContent(const TestContent&) = delete;
  TestContent& operator=(const TestContent&) = delete;

  const std::string& Folder() const { return m_folder; }
  // "file://" + folder + "/" + name.
  std::string Url(const std::string& name) const;
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string m_folder;
};
