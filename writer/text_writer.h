// A buffered text sink for mission.pld. Text collects in a string and goes to
// the file in large chunks; the writer remembers whether every hand-over
// succeeded, so the caller checks once at the end. Without a file it only
// collects, which lets the emitters be run and read back in memory.
#ifndef VEXLAR_WRITER_TEXT_WRITER_H_
#define VEXLAR_WRITER_TEXT_WRITER_H_

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vexlar {

class TextWriter {
 public:
  /// Collects all text in memory; pending() returns it.
  TextWriter() = default;
  /// Sends text to `file`, which must outlive the writer, once
  /// kFlushThreshold bytes are pending and at Flush().
  explicit TextWriter(std::FILE* file) : file_(file) {}
  /// Drops all text, as a writer to a file that takes everything would.
  enum Discard { kDiscard };
  explicit TextWriter(Discard) : discard_(true) {}
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  static constexpr std::size_t kFlushThreshold = 1 << 16;
  /// After this many bytes sent to the file, the system is asked to start
  /// storing them (platform::StartWriteBack).
  static constexpr std::size_t kWriteBackThreshold = 1 << 23;

  /// Appends `text` as it stands. Inline: the emitters write a few bytes at
  /// a time, hundreds of millions of bytes per large mission.
  void Write(std::string_view text) {
    if (text.empty()) return;  // its data may be null, which memcpy must not get
    if (text.size() > buffer_.size() - used_) Grow(text.size());
    Copy(&buffer_[used_], text.data(), text.size());
    used_ += text.size();
    if (used_ >= kFlushThreshold && (file_ != nullptr || discard_)) Flush();
  }
  /// Appends `number` in decimal without leading zeros.
  void WriteNumber(std::uint32_t number);
  /// Appends `format` with each "%s" replaced by the next of `values`,
  /// verbatim; a "%s" without a value left becomes nothing. Only `format` is
  /// scanned for "%s": a value may hold '%' freely.
  void WriteFormat(std::string_view format, std::initializer_list<std::string_view> values);

  /// Hands the pending text to the file. Returns ok().
  bool Flush();
  /// False once a hand-over to the file failed; text is dropped from then on.
  bool ok() const { return ok_; }
  /// The text not yet handed to a file: everything, when there is no file.
  const std::string& pending() const {
    buffer_.resize(used_);
    return buffer_;
  }

 private:
  // Makes room for `size` more bytes after the pending text.
  void Grow(std::size_t size);
  // memcpy of `size` bytes (at least one). Most pieces are a few bytes long:
  // two overlapping moves of a fixed size copy them without a call. Worth 2
  // to 5% of the CPU time on the 1M mixed benchmark mission against a plain
  // memcpy (Release binaries run in turn, medians of 9 to 15 runs each).
  static void Copy(char* to, const char* from, std::size_t size) {
    if (size > 16) {
      std::memcpy(to, from, size);
    } else if (size >= 8) {
      std::memcpy(to, from, 8);
      std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4) {
      std::memcpy(to, from, 4);
      std::memcpy(to + size - 4, from + size - 4, 4);
    } else {
      to[0] = from[0];
      to[size / 2] = from[size / 2];
      to[size - 1] = from[size - 1];
    }
  }

  std::FILE* file_ = nullptr;
  // The pending text is [0, used_); the bytes after it are room to write
  // into without a size check of the string's own.
  mutable std::string buffer_;
  std::size_t used_ = 0;
  std::size_t unstored_ = 0;  // sent to the file since the last StartWriteBack
  bool ok_ = true;
  bool discard_ = false;
};

}  // namespace vexlar

#endif  // VEXLAR_WRITER_TEXT_WRITER_H_
