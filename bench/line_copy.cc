// The lower bound of a line-oriented text converter: copies a file line by
// line through the C library (fgets, fputs), as text streams.
//   line_copy <source> <destination>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: line_copy <source> <destination>\n", stderr);
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "r");
  if (in == nullptr) return 1;
  std::FILE* out = std::fopen(argv[2], "w");
  if (out == nullptr) return 1;
  // Longer lines arrive in pieces, each copied as it comes.
  static char line[4096];
  bool ok = true;
  while (ok && std::fgets(line, sizeof line, in) != nullptr) ok = std::fputs(line, out) >= 0;
  ok = !std::ferror(in) && ok;
  std::fclose(in);
  ok = std::fclose(out) == 0 && ok;
  return ok ? 0 : 1;
}
