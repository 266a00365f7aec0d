// Runs a command and appends to a file its wall time, peak memory, user
// and system time, as `/usr/bin/time -f "%e %M %U %S" -a -o FILE` does, but
// to the microsecond (GNU time gives hundredths of a second, too coarse for
// a process of a few tens of milliseconds).
//   process_time FILE COMMAND [ARGS...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("Usage: process_time FILE COMMAND [ARGS...]\n", stderr);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 2;
  }
  if (child == 0) {
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) {
    std::perror("wait4");
    return 2;
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
  };
  std::FILE* out = std::fopen(argv[1], "a");
  if (!out) {
    std::perror(argv[1]);
    return 2;
  }
  std::fprintf(out, "%.6f %ld %.6f %.6f\n", wall.count(), usage.ru_maxrss, seconds(usage.ru_utime),
               seconds(usage.ru_stime));
  std::fclose(out);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
