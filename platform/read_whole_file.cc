// Reading a whole file, the same on every platform once the platform side has
// opened it and told its size.
#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace vexlar::platform {

bool ReadWholeFile(const std::string& path, FileBytes* bytes) {
  std::uintmax_t size = 0;
  const FilePtr file = OpenRegularFile(path, &size);
  if (!file || size > kMaxReadSize) return false;
  // The expected size is read straight into the buffer: a mission is copied
  // once, not once more through a small buffer. A file that changes while
  // being read still ends where its stream ends.
  std::size_t capacity = static_cast<std::size_t>(size);
  std::unique_ptr<char[]> data(new char[capacity]);
  std::size_t used = std::fread(data.get(), 1, capacity, file.get());
  char chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (used + got > kMaxReadSize) return false;  // it grew while being read
    if (used + got > capacity) {
      capacity = std::max(2 * capacity, used + got);
      std::unique_ptr<char[]> larger(new char[capacity]);
      std::memcpy(larger.get(), data.get(), used);
      data = std::move(larger);
    }
    std::memcpy(data.get() + used, chunk, got);
    used += got;
  }
  if (std::ferror(file.get()) != 0) return false;
  bytes->data_ = std::move(data);
  bytes->size_ = used;
  return true;
}

}  // namespace vexlar::platform
