#include "flows/settle_rule.h"

#include <algorithm>

namespace dd {

void SettleRule::Note(double now) {
  if (!waiting_) first_ = now;
  waiting_ = true;
  last_ = now;
}

bool SettleRule::Due(double now) const {
  return waiting_ && Remaining(now) <= 0;
}

double SettleRule::Remaining(double now) const {
  if (!waiting_) return -1;
  return std::max(0.0, std::min(last_ + quiet_, first_ + cap_) - now);
}

}  // namespace dd
