// Reading a whole file, the same on every platform once the platform side has
// opened it and told its size.
#include "platform/platform.h"

namespace vexlar::platform {

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  std::uintmax_t size = 0;
  const FilePtr file = OpenRegularFile(path, &size);
  if (!file || size > kMaxReadSize) return false;
  // The expected size is read straight into the string: a mission is copied
  // once, not once more through a small buffer. A file that changes while
  // being read still ends where its stream ends.
  bytes->resize(static_cast<std::size_t>(size));
  bytes->resize(std::fread(bytes->data(), 1, bytes->size(), file.get()));
  char chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    bytes->append(chunk, got);
    if (bytes->size() > kMaxReadSize) return false;  // it grew while being read
  }
  return std::ferror(file.get()) == 0;
}

}  // namespace vexlar::platform
