// A growing array kept in fixed-size chunks: growth never copies the elements
// already stored and never holds two copies of the array at once, which keeps
// the peak memory of a scan close to what the entries need.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace dd {

template <typename T, unsigned Shift = 13>
class ChunkedVector {
 public:
  static constexpr std::size_t kChunk = std::size_t{1} << Shift;

  void push_back(const T& value) {
    if ((size_ >> Shift) == chunks_.size()) chunks_.emplace_back(new T[kChunk]);
    chunks_[size_ >> Shift][size_ & (kChunk - 1)] = value;
    ++size_;
  }
  T& operator[](std::size_t i) { return chunks_[i >> Shift][i & (kChunk - 1)]; }
  const T& operator[](std::size_t i) const { return chunks_[i >> Shift][i & (kChunk - 1)]; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace dd
