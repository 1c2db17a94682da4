#include "CommandLineTool.h"

#include <cstdio>
#include <exception>

int CommandLineTool::Fail(int status, const std::string& message) const {
  std::fprintf(stderr, "%s: %s\n", m_name, message.c_str());
  return status;
}

int CommandLineTool::Main(RunFunction run, int argc, char** argv) const {
  try {
    return run(argc, argv);
  } catch (const std::exception& exception) {
    return Fail(1, exception.what());
  } catch (...) {
    return Fail(1, "unexpected failure");
  }
}
