#include "execution/copy_heartbeat.h"

namespace dd {

namespace {

CopyHeartbeat& Heartbeat() {
  static CopyHeartbeat heartbeat;
  return heartbeat;
}

}  // namespace

void SetCopyHeartbeat(CopyHeartbeat heartbeat) {
  Heartbeat() = std::move(heartbeat);
}

void CopyHeartbeatTick(int64_t done, int64_t size) {
  if (Heartbeat()) Heartbeat()(done, size);
}

}  // namespace dd
