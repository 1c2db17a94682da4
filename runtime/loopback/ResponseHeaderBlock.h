#pragma once
// The header block of a program-built response: lines "Name: value", each
// ended by a line feed. The runtime hands the engine these headers as they
// stand, in their order and with repeated names kept.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ResponseHeaderBlock {
 public:
  using Header = std::pair<std::string, std::string>;

  // A carriage return before a line feed is dropped; a last line without a
  // line feed still counts. Lines without a colon or with an empty name are
  // skipped, since no engine could send them. White space around the value is
  // trimmed, as header parsers do.
  static std::vector<Header> Parse(std::string_view block);
};
