// Reading a copy back once its data is on the disk, and comparing it with the
// digest its source had when copied.
#pragma once

#include <functional>
#include <optional>

#include "common/content_hash.h"

namespace dd {

struct VerifyCounts;

// The digest of the open source of a copy, read from its start; nullopt when it could not be read.
std::optional<ContentDigest> SourceDigest(ContentReader& reader, int source, VerifyCounts& counts);

// Whether the written copy `out` (open for reading) holds what the source did. Its
// pages, clean after the flush, are dropped first, so what is read comes from the disk.
bool CopyMatchesSource(ContentReader& reader, int out, const ContentDigest& source, VerifyCounts& counts);

// For tests: a change made to each written copy once it is on the disk,
// before it is read back or named (empty: none).
void SetCopyTamperForTest(std::function<void(int out)> tamper);
void TamperWithCopyForTest(int out);

}  // namespace dd
