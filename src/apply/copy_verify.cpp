#include "apply/copy_verify.h"

#include <fcntl.h>

#include <utility>

#include "common/run_statistics.h"

namespace dd {

namespace {
std::function<void(int)>& Tamper() {
  static std::function<void(int)> tamper;
  return tamper;
}
}  // namespace

std::optional<ContentDigest> SourceDigest(ContentReader& reader, int source, VerifyCounts& counts) {
  ContentDigest digest;
  if (!reader.Hash(source, digest, counts.BytesRead)) return std::nullopt;
  return digest;
}

bool CopyMatchesSource(ContentReader& reader, int out, const ContentDigest& source, VerifyCounts& counts) {
  ::posix_fadvise(out, 0, 0, POSIX_FADV_DONTNEED);
  ++counts.Files;
  ContentDigest copy;
  const bool same = reader.Hash(out, copy, counts.BytesRead) && copy == source;
  if (!same) ++counts.Mismatches;
  return same;
}

void TamperWithCopyForTest(int out) {
  if (Tamper()) Tamper()(out);
}

void SetCopyTamperForTest(std::function<void(int out)> tamper) {
  Tamper() = std::move(tamper);
}

}  // namespace dd
