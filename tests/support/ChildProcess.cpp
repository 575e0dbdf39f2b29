#include "ChildProcess.h"

#include <cerrno>
#include <fstream>
#include <cstring>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kSkipStatus = 77;

void writeAll(int fd, const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        text.append(buffer, static_cast<size_t>(n));
    }
}

std::string systemError(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

}  // namespace

TChildOutcome RunInChild(const std::function<std::string()> &body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error(systemError("pipe"));
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error(systemError("fork"));
    if (pid == 0) {
        ::close(fds[0]);
        int status = 0;
        std::string text;
        try {
            text = body();
        } catch (const TChildSkip &skip) {
            text = skip.what();
            status = kSkipStatus;
        } catch (const std::exception &e) {
            text = std::string("the child failed: ") + e.what();
            status = 1;
        }
        writeAll(fds[1], text);
        ::_exit(status);  // no exit handlers or leak checks of the parent's state
    }
    ::close(fds[1]);
    TChildOutcome outcome;
    outcome.output = readAll(fds[0]);
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.skipped = outcome.status == kSkipStatus;
    return outcome;
}

void BecomeUnprivilegedUser()
{
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0
        || ::setresuid(kNobody, kNobody, kNobody) != 0)
        throw TChildSkip(systemError("cannot switch to user 65534"));
    if (::geteuid() == 0)
        throw TChildSkip("still privileged after switching users");
}

void MountSmallTmpfs(const std::string &dir, int kibibytes)
{
    if (::unshare(CLONE_NEWNS) != 0)
        throw TChildSkip(systemError("no mount namespace of its own (unshare -m)"));
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        throw TChildSkip(systemError("cannot make the mounts private"));
    const std::string options = "size=" + std::to_string(kibibytes) + "k";
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) != 0)
        throw TChildSkip(systemError("cannot mount a tmpfs"));
}

void MountReadOnlyBind(const std::string &dir)
{
    if (::unshare(CLONE_NEWNS) != 0)
        throw TChildSkip(systemError("no mount namespace of its own (unshare -m)"));
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        throw TChildSkip(systemError("cannot make the mounts private"));
    if (::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) != 0
        || ::mount(nullptr, dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        throw TChildSkip(systemError("cannot bind-mount read-only"));
}

void FillDisk(const std::string &fillerPath)
{
    std::ofstream filler(fillerPath, std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
        filler.flush();
}

THoldingChild::THoldingChild(const std::function<void()> &hold)
{
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0)
        throw std::runtime_error(systemError("pipe"));
    m_pid = ::fork();
    if (m_pid < 0)
        throw std::runtime_error(systemError("fork"));
    if (m_pid == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        try {
            hold();
        } catch (...) {
            ::_exit(1);
        }
        writeAll(ready[1], "r");
        char c;
        while (::read(release[0], &c, 1) < 0 && errno == EINTR) {
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    m_release = release[1];
    char c = 0;
    ssize_t n;
    while ((n = ::read(ready[0], &c, 1)) < 0 && errno == EINTR) {
    }
    m_ready = n == 1 && c == 'r';  // end of file: the child failed and ended
    ::close(ready[0]);
}

THoldingChild::~THoldingChild()
{
    Release();
}

int THoldingChild::Release()
{
    if (m_pid < 0)
        return -1;
    ::close(m_release);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
