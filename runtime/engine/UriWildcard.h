#pragma once
// The address patterns of resource-request filters: "*" stands for any run
// of characters (the empty run included); every other character must match
// exactly.
#include <string_view>

class UriWildcard {
 public:
  static bool Matches(std::u16string_view pattern, std::u16string_view uri);
};
