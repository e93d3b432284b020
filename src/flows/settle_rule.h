// When a burst of changes has settled: a quiet time after the last change, and
// never longer than a cap after the first, so a file that is written without pause
// does not hold back the others for ever. Times are seconds of a monotonic clock.
#pragma once

namespace dd {

class SettleRule {
 public:
  SettleRule(double quietSeconds, double capSeconds) : quiet_(quietSeconds), cap_(capSeconds) {}

  void Note(double now);
  bool Waiting() const { return waiting_; }
  // True when changes wait and either the quiet time has passed since the last one
  // or the cap since the first.
  bool Due(double now) const;
  // Seconds until Due, 0 when due; a negative number when nothing waits.
  double Remaining(double now) const;
  void Clear() { waiting_ = false; }

 private:
  double quiet_, cap_;
  bool waiting_ = false;
  double first_ = 0, last_ = 0;
};

}  // namespace dd
