#include "writer/text_writer.h"

#include <algorithm>

#include "platform/platform.h"

namespace vexlar {

void TextWriter::Grow(std::size_t size) {
  buffer_.resize(std::max(2 * buffer_.size(), used_ + size + kFlushThreshold));
}

void TextWriter::WriteNumber(std::uint32_t number) {
  char digits[10];
  char* first = digits + sizeof digits;
  do {
    *--first = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  Write(std::string_view(first, static_cast<std::size_t>(digits + sizeof digits - first)));
}

void TextWriter::WriteFormat(std::string_view format,
                             std::initializer_list<std::string_view> values) {
  const std::string_view* value = values.begin();
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != '%' || format[i + 1] != 's') continue;
    Write(format.substr(start, i - start));
    if (value != values.end()) Write(*value++);
    start = i + 2;
    ++i;
  }
  Write(format.substr(start));
}

bool TextWriter::Flush() {
  if (discard_) used_ = 0;
  if (file_ == nullptr || used_ == 0) return ok_;
  if (ok_ && std::fwrite(buffer_.data(), 1, used_, file_) != used_) ok_ = false;
  unstored_ += used_;
  used_ = 0;
  if (ok_ && unstored_ >= kWriteBackThreshold) {
    platform::StartWriteBack(file_);
    unstored_ = 0;
  }
  return ok_;
}

}  // namespace vexlar
