// Runs a command and tells what it cost: the CPU time (user and system, of the command and of every process
// it waited for), the wall time and the peak memory, for scripts/bench.sh.
//
//   cronometro [--uscita FILE] COMMAND [ARGS...]
//
// The command's standard output goes to FILE (default /dev/null), its standard error to /dev/null. Prints
// one line: "cpu_us wall_us peak_kb status" (status: the exit status, or 128 + the signal).

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

long long Microsecondi(const timeval& t) { return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_usec; }

long long CpuFigli() {
    rusage uso{};
    getrusage(RUSAGE_CHILDREN, &uso);
    return Microsecondi(uso.ru_utime) + Microsecondi(uso.ru_stime);
}

} // namespace

int main(int argc, char** argv) {
    int primo = 1;
    const char* uscita = "/dev/null";
    if (argc > 2 && std::strcmp(argv[1], "--uscita") == 0) {
        uscita = argv[2];
        primo = 3;
    }
    if (primo >= argc) {
        std::fprintf(stderr, "uso: cronometro [--uscita FILE] COMANDO [ARGOMENTI...]\n");
        return 2;
    }
    const long long cpuPrima = CpuFigli();
    const auto inizio = std::chrono::steady_clock::now();
    const pid_t figlio = fork();
    if (figlio < 0) {
        std::perror("fork");
        return 2;
    }
    if (figlio == 0) {
        const int out = open(uscita, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open("/dev/null", O_WRONLY);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        execvp(argv[primo], argv + primo);
        _exit(127);
    }
    int stato = 0;
    rusage uso{};
    if (wait4(figlio, &stato, 0, &uso) < 0) {
        std::perror("wait4");
        return 2;
    }
    const auto fine = std::chrono::steady_clock::now();
    const long long cpu = CpuFigli() - cpuPrima;
    const long long parete = std::chrono::duration_cast<std::chrono::microseconds>(fine - inizio).count();
    const int esito = WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
    std::printf("%lld %lld %ld %d\n", cpu, parete, uso.ru_maxrss, esito);
    return 0;
}
