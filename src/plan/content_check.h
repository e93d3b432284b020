// Content comparison of the files that size and time call the same: each pair
// of copies read from the pair's roots, below them and through no link.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/content_hash.h"

namespace dd {

struct ContentComparisonCounts;

class ContentCheck {
 public:
  // Opens both roots as the job names them (a link there is the user's choice).
  ContentCheck(const std::string& rootF1, const std::string& rootF2, ContentComparisonCounts& counts, ContentTurn turn);
  ~ContentCheck();
  ContentCheck(const ContentCheck&) = delete;
  ContentCheck& operator=(const ContentCheck&) = delete;

  // Compares the two copies of the file `key` ("/sub/a.txt"), each of `size`
  // bytes when scanned; a copy that is no longer a regular file of that size,
  // or cannot be opened below its root, is Unreadable.
  ContentResult Compare(std::string_view key, int64_t size);

 private:
  int rootF1_ = -1, rootF2_ = -1;
  ContentComparisonCounts& counts_;
  ContentTurn turn_;
  ContentReader reader_;
};

// The status of a file that size and time found "Identical", once its content
// is known: a difference makes the later copy newer, an exact tie F1's.
std::string_view StatusAfterContent(ContentResult content, int64_t modifiedF1, int64_t modifiedF2);

// Opens the regular file `rel` ("sub/a.txt") below the open folder `root`,
// following no link on the way or at its end; -1 with errno set otherwise.
int OpenFileBeneath(int root, std::string_view rel);

}  // namespace dd
