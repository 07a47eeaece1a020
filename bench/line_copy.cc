// The lower bounds of a line-oriented text converter that logs as vexlar
// does. With two arguments: copies a file line by line through the C library
// (fgets, fputs), as text streams. With five: the same, and then, for each
// of <messages> messages of <length> bytes, opens <log> for appending,
// writes the message, closes it (system calls, no stream), and writes it to
// the buffered standard output: what the log contract alone costs (one open,
// append and close per message, and the console echo).
//   line_copy <source> <destination> [<log> <messages> <length>]
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool CopyLines(const char* source, const char* destination) {
  std::FILE* in = std::fopen(source, "r");
  if (in == nullptr) return false;
  std::FILE* out = std::fopen(destination, "w");
  if (out == nullptr) {
    std::fclose(in);
    return false;
  }
  // Longer lines arrive in pieces, each copied as it comes.
  static char line[4096];
  bool ok = true;
  while (ok && std::fgets(line, sizeof line, in) != nullptr) ok = std::fputs(line, out) >= 0;
  ok = !std::ferror(in) && ok;
  std::fclose(in);
  return std::fclose(out) == 0 && ok;
}

bool LogMessages(const char* log, long messages, long length) {
  std::string message(length > 0 ? static_cast<std::size_t>(length) - 1 : 0, 'x');
  message += '\n';
  for (long i = 0; i < messages; ++i) {
    const int fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT, 0666);
    if (fd < 0) return false;
    const bool whole =
        ::write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
    if (::close(fd) != 0 || !whole) return false;
    std::fwrite(message.data(), 1, message.size(), stdout);
  }
  return std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 6) {
    std::fputs("usage: line_copy <source> <destination> [<log> <messages> <length>]\n", stderr);
    return 2;
  }
  bool ok = CopyLines(argv[1], argv[2]);
  if (ok && argc == 6) {
    ok = LogMessages(argv[3], std::strtol(argv[4], nullptr, 10), std::strtol(argv[5], nullptr, 10));
  }
  return ok ? 0 : 1;
}
