// Runs a program and reports its wall time and peak resident memory:
//   spawn_measured <report> <program> [<argument>...]
// writes "<seconds> <peak KiB> <exit status>" to the file <report>. The
// program is forked from this small process: a program started straight
// from a large one (the Python benchmark, which reads whole logs) inherits
// that process's peak in its own, as Linux carries the peak across exec.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: spawn_measured <report> <program> [<argument>...]\n", stderr);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(argv[2], argv + 2);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return 1;
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) return 1;
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::fprintf(report, "%.6f %ld %d\n", wall.count(), usage.ru_maxrss, exit_status);
  return std::fclose(report) == 0 ? 0 : 1;
}
