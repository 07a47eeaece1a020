#include "store/arena.h"

namespace vexlar {

char* Arena::AllocateFallback(std::size_t bytes) {
  // A large request gets a block of its own; the one being filled stays the
  // one being filled.
  if (bytes > block_size_ / 4) return NewBlock(bytes);
  // The rest of the current block is given up.
  next_ = NewBlock(block_size_);
  remaining_ = block_size_;
  return Allocate(bytes);
}

char* Arena::NewBlock(std::size_t bytes) {
  blocks_.emplace_back(new char[bytes]);
  return blocks_.back().get();
}

}  // namespace vexlar
