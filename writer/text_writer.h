// A buffered text sink for mission.pld. Text collects in a string and goes to
// the file in large chunks; the writer remembers whether every hand-over
// succeeded, so the caller checks once at the end. Without a file it only
// collects, which lets the emitters be run and read back in memory.
#ifndef VEXLAR_WRITER_TEXT_WRITER_H_
#define VEXLAR_WRITER_TEXT_WRITER_H_

#include <cstdint>
#include <cstdio>
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
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  static constexpr std::size_t kFlushThreshold = 1 << 16;

  /// Appends `text` as it stands.
  void Write(std::string_view text);
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
  const std::string& pending() const { return buffer_; }

 private:
  std::FILE* file_ = nullptr;
  std::string buffer_;
  bool ok_ = true;
};

}  // namespace vexlar

#endif  // VEXLAR_WRITER_TEXT_WRITER_H_
