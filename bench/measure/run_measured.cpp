// Runs one command and reports its cost on standard output: "SECONDS PEAK_KIB".
// SECONDS is the wall time from just before exec to the end of the process; PEAK_KIB its
// largest resident set (ru_maxrss from wait4, children it waited for included). The
// kernel keeps the larger of the starter's and the command's peak across exec, so this
// starter is kept tiny: a script interpreter in its place would add its own size.
// The command's output goes to LOG (appended). Exits 1 when the command fails.
//
//   bench_run_measured LOG COMMAND [ARGUMENT...]
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_run_measured LOG COMMAND [ARGUMENT...]\n");
        return 2;
    }
    const int log = open(argv[1], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (log < 0 || devNull < 0) {
        std::fprintf(stderr, "bench_run_measured: cannot open %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("bench_run_measured: fork");
        return 1;
    }
    if (pid == 0) {
        dup2(devNull, 0);
        dup2(log, 1);
        dup2(log, 2);
        execvp(argv[2], argv + 2);
        std::fprintf(stderr, "bench_run_measured: cannot run %s: %s\n", argv[2], std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    pid_t waited;
    do
        waited = wait4(pid, &status, 0, &usage);
    while (waited < 0 && errno == EINTR);
    clock_gettime(CLOCK_MONOTONIC, &end);
    if (waited != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_run_measured: %s failed (see %s)\n", argv[2], argv[1]);
        return 1;
    }
    const double seconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9;
    std::printf("%.3f %ld\n", seconds, usage.ru_maxrss);
    return 0;
}
