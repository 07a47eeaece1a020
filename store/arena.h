// An arena: memory handed out in small pieces from large blocks, all freed
// together when the arena goes. For the store, which keeps millions of small
// records and texts for a whole conversion: a few hundred allocations
// instead of millions. Only store/ uses it.
#ifndef VEXLAR_STORE_ARENA_H_
#define VEXLAR_STORE_ARENA_H_

#include <cstddef>
#include <memory>
#include <vector>

namespace vexlar {

class Arena {
 public:
  /// Blocks of `block_size` bytes; a request of more than a quarter of that
  /// gets a block of its own, so that it wastes no more than that quarter of
  /// the block being filled.
  explicit Arena(std::size_t block_size) : block_size_(block_size) {}
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  /// `bytes` bytes that stay in place until the arena goes. Requests that
  /// are all multiples of some alignment (up to that of std::max_align_t)
  /// get memory aligned for it. Allocate(0) returns Next().
  char* Allocate(std::size_t bytes) {
    if (bytes <= remaining_) {
      char* result = next_;
      next_ += bytes;
      remaining_ -= bytes;
      return result;
    }
    return AllocateFallback(bytes);
  }

  /// Where the next request of at most Remaining() bytes starts: a piece that
  /// ends here grows in place by allocating the bytes it grows by.
  const char* Next() const { return next_; }
  std::size_t Remaining() const { return remaining_; }

 private:
  char* AllocateFallback(std::size_t bytes);
  char* NewBlock(std::size_t bytes);

  const std::size_t block_size_;
  // The unused end of the block being filled.
  char* next_ = nullptr;
  std::size_t remaining_ = 0;
  std::vector<std::unique_ptr<char[]>> blocks_;
};

}  // namespace vexlar

#endif  // VEXLAR_STORE_ARENA_H_
