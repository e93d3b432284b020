#include "common/content_hash.h"

#include <fcntl.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <future>
#include <system_error>

namespace dd {

namespace {

// Fills `buffer` from `offset` until it is full or the file ends: the bytes read, or -1.
int64_t ReadBlock(int fd, char* buffer, std::size_t size, int64_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, buffer + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<int64_t>(done);
}

ContentDigest DigestOf(XXH128_hash_t h) {
  return {h.low64, h.high64};
}

// The files are read once, front to back: the kernel may read ahead further and keep less behind.
void ReadingOnce(int fd) {
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

// Asks for the next block while this one is hashed, so the disk never waits for us.
void ReadNextAhead(int fd, int64_t next) {
  ::posix_fadvise(fd, next, static_cast<off_t>(ContentReader::kBlock), POSIX_FADV_WILLNEED);
}

}  // namespace

ContentReader::ContentReader() : first_(new char[kBlock]), second_(new char[kBlock]) {}

ContentReader::~ContentReader() = default;

bool ContentReader::Hash(int fd, ContentDigest& digest, int64_t& bytesRead, const ContentTurn& turn) {
  XXH3_state_t* state = XXH3_createState();
  if (!state) return false;
  XXH3_128bits_reset(state);
  ReadingOnce(fd);
  bool ok = true;
  for (int64_t offset = 0;;) {
    const int64_t n = ReadBlock(fd, first_.get(), kBlock, offset);
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == static_cast<int64_t>(kBlock)) ReadNextAhead(fd, offset + n);
    XXH3_128bits_update(state, first_.get(), static_cast<std::size_t>(n));
    bytesRead += n;
    offset += n;
    if (n < static_cast<int64_t>(kBlock)) break;
    if (turn && !turn()) {
      ok = false;
      break;
    }
  }
  if (ok) digest = DigestOf(XXH3_128bits_digest(state));
  XXH3_freeState(state);
  return ok;
}

ContentResult ContentReader::Compare(int a, int b, int64_t size, int64_t& bytesRead, const ContentTurn& turn) {
  ReadingOnce(a);
  ReadingOnce(b);
  // Hashing costs about as much as reading: one block pair is hashed on a helper
  // thread while the next is read, each into its own pair of buffers.
  if (!spare_) spare_ = std::make_unique<Buffers>();
  char* buffers[2][2] = {{first_.get(), second_.get()}, {spare_->first.get(), spare_->second.get()}};
  std::future<bool> sameSoFar;
  auto earlierSame = [&] { return !sameSoFar.valid() || sameSoFar.get(); };
  for (int64_t offset = 0, k = 0;; offset += static_cast<int64_t>(kBlock), k ^= 1) {
    // One byte past the size shows a file that grew since it was seen.
    const std::size_t want = size - offset >= static_cast<int64_t>(kBlock) ? kBlock : size - offset + 1;
    char* const one = buffers[k][0];
    char* const other = buffers[k][1];
    const int64_t na = ReadBlock(a, one, want, offset);
    const int64_t nb = ReadBlock(b, other, want, offset);
    const bool same = earlierSame();
    if (na < 0 || nb < 0) return ContentResult::Unreadable;
    bytesRead += na + nb;
    if (!same || na != nb) return ContentResult::Different;
    const std::size_t n = static_cast<std::size_t>(na);
    if (n < want || want < kBlock) {
      if (!(DigestOf(XXH3_128bits(one, n)) == DigestOf(XXH3_128bits(other, n)))) return ContentResult::Different;
      // A short read ends the file; a full one past the size means both grew.
      return n < want && offset + na == size ? ContentResult::Same : ContentResult::Different;
    }
    ReadNextAhead(a, offset + na);
    ReadNextAhead(b, offset + nb);
    auto hashesMatch = [one, other, n] { return DigestOf(XXH3_128bits(one, n)) == DigestOf(XXH3_128bits(other, n)); };
    try {
      sameSoFar = std::async(std::launch::async, hashesMatch);
    } catch (const std::system_error&) {
      if (!hashesMatch()) return ContentResult::Different;  // no thread to be had: hashed here
    }
    if (turn && !turn()) {
      earlierSame();
      return ContentResult::Unreadable;
    }
  }
}

}  // namespace dd
