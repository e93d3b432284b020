// File contents by XXH3-128, read in large blocks from open files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace dd {

struct ContentDigest {
  uint64_t low = 0, high = 0;
  bool operator==(const ContentDigest&) const = default;
};

enum class ContentResult { Same, Different, Unreadable };

// Called between blocks with the bytes read so far; false stops the reading.
using ContentTurn = std::function<bool()>;

// Reads open files from their start, whatever their offsets; holds the block
// buffers, so one reader serves many files.
class ContentReader {
 public:
  ContentReader();
  ~ContentReader();
  ContentReader(const ContentReader&) = delete;
  ContentReader& operator=(const ContentReader&) = delete;

  // The digest of the whole file; false when it could not be read to its end
  // (or the turn stopped it). `bytesRead` grows by what was read.
  bool Hash(int fd, ContentDigest& digest, int64_t& bytesRead, const ContentTurn& turn = {});

  // Compares two files of `size` bytes block by block and stops at the first
  // block that differs. A file that ends early or grows is Different; a read
  // error (or a stop by the turn) is Unreadable.
  ContentResult Compare(int a, int b, int64_t size, int64_t& bytesRead, const ContentTurn& turn = {});

  static constexpr std::size_t kBlock = std::size_t{4} << 20;

 private:
  std::unique_ptr<char[]> first_, second_;
  // The second pair of block buffers, made at the first comparison.
  struct Buffers {
    std::unique_ptr<char[]> first{new char[kBlock]}, second{new char[kBlock]};
  };
  std::unique_ptr<Buffers> spare_;
};

}  // namespace dd
