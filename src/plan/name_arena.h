// Names stored back to back in large blocks: one allocation per megabyte of
// names instead of one per name.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace dd {

class NameArena {
 public:
  static constexpr unsigned kShift = 20;
  static constexpr std::size_t kBlock = std::size_t{1} << kShift;

  // Stores a name (shorter than a block) and returns where it is.
  uint64_t Add(std::string_view name) {
    if (blocks_.empty() || used_ + name.size() > kBlock) {
      blocks_.emplace_back(new char[kBlock]);
      used_ = 0;
    }
    std::memcpy(blocks_.back().get() + used_, name.data(), name.size());
    uint64_t offset = (static_cast<uint64_t>(blocks_.size() - 1) << kShift) | used_;
    used_ += name.size();
    return offset;
  }

  std::string_view Get(uint64_t offset, std::size_t length) const {
    return {blocks_[offset >> kShift].get() + (offset & (kBlock - 1)), length};
  }

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = 0;
};

}  // namespace dd
