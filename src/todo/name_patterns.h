// Filter lines that are wildcard patterns: a line holding '*' or '?' is matched
// against a whole name, or, when it holds a '/', against the whole path below
// the pair's root; any other line stays a plain piece of a path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dd {

// True when the filter line is a pattern rather than a piece of a path.
bool IsNamePattern(std::string_view line);

// Whether `pattern` matches the item whose path below its pair's root is `below`
// ("sub/a.txt", no leading separator). A pattern without '/' is matched against
// the item's name alone; one with '/' against all of `below`, where '*' also spans
// folders and a leading '/' only says "from the root". Bytes are compared as they are.
bool NamePatternMatches(const std::string& pattern, std::string_view below);

// The pattern upper-cased for a match that ignores case (its subject upper-cased
// too), the names of character classes such as [:lower:] left as they are.
std::string UpperCasePattern(std::string_view pattern);

// The part of `path` below the longest of `roots` it lies in ("sub/a.txt" for
// "/r/sub/a.txt" and root "/r"); the path without its leading separator when it
// lies in none.
std::string_view PathBelowRoots(std::string_view path, const std::vector<std::string>& roots);

}  // namespace dd
