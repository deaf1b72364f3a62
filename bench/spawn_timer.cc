// Runs a command the way a web server runs a CGI program (a new process with
// the current environment, standard output to a file) several times and
// prints each run's wall-clock time in milliseconds and its peak memory.
//
//   KvoSpawnTimer RUNS OUTPUT-FILE PROGRAM [ARGS...]
//
// Output: one line per run, "<milliseconds> <peak RSS in KB>".
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s RUNS OUTPUT-FILE PROGRAM [ARGS...]\n",
                 argv[0]);
    return 2;
  }
  int runs = std::atoi(argv[1]);
  for (int run = 0; run < runs; ++run) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, argv[2],
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[3], &actions, nullptr, argv + 3, environ) != 0) {
      std::perror("posix_spawn");
      return 1;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    double ms = std::chrono::duration<double, std::milli>(
                    std::chrono::steady_clock::now() - started)
                    .count();
    posix_spawn_file_actions_destroy(&actions);
    std::printf("%.4f %ld\n", ms, usage.ru_maxrss);
  }
  return 0;
}
