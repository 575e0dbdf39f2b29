// Start-up probe. Run from a Release build, without a network:
//   unshare -n build-rel/bench/bin/startup_probe [--runs N]
// Each run copies the built program folder to a temporary directory and
// starts a fresh process of this program in child mode, which runs the
// program's start function offscreen (no sound card needed) and stops at the
// first painted frame. The child reports the time from its process start to
// that frame, measured two ways (from the parent's spawn, and from the start
// time the kernel recorded in /proc/self/stat, 10 ms resolution), and its
// resident memory then (VmRSS). The parent prints every run and the medians.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>

#include "MessageBoxes.h"
#include "ProgramStart.h"
#include "Settings.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

extern char **environ;

namespace {

namespace fs = std::filesystem;

constexpr double kTargetMs = 400;
constexpr double kTargetMb = 120;

std::int64_t nowNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// Milliseconds since the kernel started this process (field 22 of
// /proc/self/stat, in clock ticks after boot).
double msSinceProcessStart()
{
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces: fields are counted after its ')'.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    // Field 3 is the first after the name; start time is field 22.
    for (int i = 3; i < 22 && fields >> field;)
        ++i;
    unsigned long long ticks = 0;
    if (!(fields >> ticks))
        return -1;
    const double startMs =
        1000.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return static_cast<double>(nowNs(CLOCK_BOOTTIME)) / 1e6 - startMs;
}

long residentKb()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// A message at start-up would wait for a player: it is printed and
// answered with its first button, and the run goes on.
class PrintedBoxes final : public TMessageBoxes {
public:
    QMessageBox::StandardButton Show(QWidget *, const QString &, const QString &text, TMsgIcon,
                                     QMessageBox::StandardButtons buttons) override
    {
        std::fprintf(stderr, "message at start-up: %s\n", text.toUtf8().constData());
        for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No}) {
            if (buttons.testFlag(b))
                return b;
        }
        return QMessageBox::NoButton;
    }
};

int childMain(char **argv)
{
    SetMessageBoxes(std::make_shared<PrintedBoxes>());
    const char *spawned = std::getenv("KIVRO_PROBE_SPAWN_NS");
    const char *dir = std::getenv("KIVRO_PROBE_PROGRAM_DIR");
    if (!spawned || !dir)
        return 2;
    SetProgramDir(dir);
    const std::int64_t spawnNs = std::strtoll(spawned, nullptr, 10);
    TProgramStartOptions options;
    options.OnFirstFrame = [spawnNs](TFrmType &window) {
        const double fromSpawn = static_cast<double>(nowNs(CLOCK_MONOTONIC) - spawnNs) / 1e6;
        const double fromStat = msSinceProcessStart();
        const long rss = residentKb();
        std::printf("FRAME %.1f %.1f %ld\n", fromSpawn, fromStat, rss);
        std::fflush(stdout);
        window.close();
    };
    // The program reads a command line of its own: "--child" is not for it.
    int programArgc = 1;
    return ProgramMain(programArgc, argv, options);
}

struct Figures {
    double fromSpawnMs = 0;
    double fromStatMs = 0;
    long rssKb = 0;
};

// One fresh process on a fresh copy of the program folder.
bool runOnce(const std::string &self, Figures &out)
{
    char pattern[] = "/tmp/kivro-startup-XXXXXX";
    if (!mkdtemp(pattern))
        return false;
    const fs::path dir = pattern;
    fs::copy(KIVRO_TEST_PROGRAM_DIR, dir, fs::copy_options::recursive);

    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

    // The probe has no thread of its own: its environment is its to change.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    setenv("KIVRO_PROBE_PROGRAM_DIR", (dir.string() + "/").c_str(), 1);
    const std::int64_t spawnNs = nowNs(CLOCK_MONOTONIC);
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    setenv("KIVRO_PROBE_SPAWN_NS", std::to_string(spawnNs).c_str(), 1);
    std::string childFlag = "--child";
    char *args[] = {const_cast<char *>(self.c_str()), childFlag.data(), nullptr};
    pid_t pid = 0;
    const int spawnError = posix_spawn(&pid, self.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);

    std::string output;
    char buffer[512];
    for (ssize_t n; spawnError == 0 && (n = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    if (spawnError == 0)
        waitpid(pid, &status, 0);
    fs::remove_all(dir);

    const size_t at = output.find("FRAME ");
    if (spawnError != 0 || at == std::string::npos || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the program did not reach its first frame (status %d)\n%s", status,
                     output.c_str());
        return false;
    }
    return std::sscanf(output.c_str() + at, "FRAME %lf %lf %ld", &out.fromSpawnMs, &out.fromStatMs,
                       &out.rssKb)
           == 3;
}

template <typename T>
T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int parentMain(int argc, char **argv)
{
    int runs = 7;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    // Offscreen, and no sound card needed for the music and speech output.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);  // NOLINT(concurrency-mt-unsafe): no thread yet
    setenv("SDL_AUDIODRIVER", "dummy", 0);      // NOLINT(concurrency-mt-unsafe)
    const std::string self = fs::canonical("/proc/self/exe").string();

    std::vector<double> spawnMs, statMs;
    std::vector<long> rss;
    // One run first to warm the file cache; it is shown but not counted.
    for (int i = 0; i <= runs; ++i) {
        Figures f;
        if (!runOnce(self, f))
            return 1;
        std::printf("%s %2d: %7.1f ms from spawn, %7.1f ms from /proc start, VmRSS %6.1f MB\n",
                    i == 0 ? "warm-up" : "run    ", i, f.fromSpawnMs, f.fromStatMs,
                    static_cast<double>(f.rssKb) / 1024.0);
        if (i == 0)
            continue;
        spawnMs.push_back(f.fromSpawnMs);
        statMs.push_back(f.fromStatMs);
        rss.push_back(f.rssKb);
    }
    const double ms = median(spawnMs);
    const double mb = static_cast<double>(median(rss)) / 1024.0;
    std::printf(
        "median of %d: %.1f ms from spawn (%.1f ms from /proc start), target <= %.0f ms: %s\n",
        runs, ms, median(statMs), kTargetMs, ms <= kTargetMs ? "met" : "MISSED");
    std::printf("median of %d: VmRSS %.1f MB at the first frame, target <= %.0f MB: %s\n", runs, mb,
                kTargetMb, mb <= kTargetMb ? "met" : "MISSED");
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return childMain(argv);
    return parentMain(argc, argv);
}
