/* Runs a command once and prints its CPU seconds (user + system, to the
   microsecond) and its peak resident memory in KB. GNU time counts CPU in
   hundredths, too coarse for small runs, and a child forked from a large
   process (Python) would report that process's memory as its own peak.
       rusage COMMAND [ARG...]                                             */
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status;
  struct rusage u;
  if (pid < 0 || wait4(pid, &status, 0, &u) < 0) return 2;
  printf("%.6f %ld\n", u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6,
         u.ru_maxrss);
  return 0;
}
