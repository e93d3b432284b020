// A hook called between the chunks of a file copy, with the bytes done and the
// file's size: a window hands its event loop a turn there during a long copy (a
// stop then acts at the next chunk) and shows how far the copy is.
#pragma once

#include <cstdint>
#include <functional>

namespace dd {

using CopyHeartbeat = std::function<void(int64_t done, int64_t size)>;

// Sets the hook; nullptr removes it.
void SetCopyHeartbeat(CopyHeartbeat heartbeat);
// Called by the copy between two chunks.
void CopyHeartbeatTick(int64_t done, int64_t size);

}  // namespace dd
