#pragma once
// The local path a file URL names, decoded by the program's one file-URL
// decoder (util/FileUrl.h): percent-escapes as UTF-8, query and fragment
// dropped, only an empty host or "localhost". Empty for anything that is no
// local file URL and for a path too long for the system (PATH_MAX bytes or
// more).
#include <string>
#include <string_view>

std::u16string GetPathFromUrl(std::u16string_view url);
