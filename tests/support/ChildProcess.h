#pragma once
// Forked children for tests that need a second real process: one that runs as
// an unprivileged user, one in a mount namespace of its own (a small tmpfs, a
// read-only bind mount), one that holds a database lock while the test works.
//
// A child reports through text only; the parent makes the assertions. A
// facility the system does not offer (namespaces not permitted, no user to
// switch to) ends the child with a skip reason, so the test skips with it
// instead of passing without having tried.

#include <functional>
#include <stdexcept>
#include <string>

// Thrown inside a child when a facility is missing.
class TChildSkip : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TChildOutcome {
    bool skipped = false;
    std::string output;  // the body's result, or the skip reason
    int status = -1;     // exit status; -1 when the child died of a signal
};

// Runs body in a forked child and returns what it returned.
TChildOutcome RunInChild(const std::function<std::string()> &body);

// In a child only. Each throws TChildSkip when the system refuses.
void BecomeUnprivilegedUser();                                // uid and gid 65534, no groups
void MountSmallTmpfs(const std::string &dir, int kibibytes);  // in a new mount namespace
void MountReadOnlyBind(const std::string &dir);               // dir onto itself, read-only
// Writes a file of that name until the disk has no block left.
void FillDisk(const std::string &fillerPath);

// A child that runs hold() and then waits until the parent lets it go, for a
// lock held by another process while the test runs.
class THoldingChild {
public:
    explicit THoldingChild(const std::function<void()> &hold);
    ~THoldingChild();
    THoldingChild(const THoldingChild &) = delete;
    THoldingChild &operator=(const THoldingChild &) = delete;

    // True once hold() has returned in the child; false when it failed.
    bool Ready() const { return m_ready; }
    // Lets the child end and waits for it; its exit status.
    int Release();

private:
    int m_pid = -1;
    int m_release = -1;
    bool m_ready = false;
};

// "GTEST_SKIP"-able check for an outcome of RunInChild.
#define KIVRO_SKIP_IF_CHILD_SKIPPED(outcome)                                                       \
    do {                                                                                           \
        if ((outcome).skipped)                                                                     \
            GTEST_SKIP() << (outcome).output;                                                      \
    } while (false)
