#include "writer/text_writer.h"

namespace vexlar {

void TextWriter::Write(std::string_view text) {
  buffer_.append(text);
  if (file_ != nullptr && buffer_.size() >= kFlushThreshold) Flush();
}

void TextWriter::WriteNumber(std::uint32_t number) { Write(std::to_string(number)); }

void TextWriter::WriteFormat(std::string_view format,
                             std::initializer_list<std::string_view> values) {
  const std::string_view* value = values.begin();
  std::size_t start = 0;
  for (std::size_t mark = format.find("%s"); mark != std::string_view::npos;
       mark = format.find("%s", start)) {
    buffer_.append(format.substr(start, mark - start));
    if (value != values.end()) buffer_.append(*value++);
    start = mark + 2;
  }
  Write(format.substr(start));
}

bool TextWriter::Flush() {
  if (file_ == nullptr || buffer_.empty()) return ok_;
  if (ok_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) ok_ = false;
  buffer_.clear();
  return ok_;
}

}  // namespace vexlar
