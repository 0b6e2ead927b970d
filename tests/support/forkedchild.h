#pragma once
// Another process for tests of what one program sees of another: a forked
// child runs a set-up (taking a lock, writing a recovery copy), says whether
// it succeeded and then waits; the test lets it finish (running its last
// step and exiting without any other clean-up) or kills it with SIGKILL, as
// a crash would end it.

#include <sys/types.h>

#include <functional>

namespace kestrel::test {

class ForkedChild {
public:
    // setup runs in the child; finish runs there when the test calls Finish.
    explicit ForkedChild(const std::function<bool()>& setup, const std::function<void()>& finish = {});
    ~ForkedChild(); // kills the child if it still runs
    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;

    pid_t Pid() const { return m_pid; }
    // Whether the set-up succeeded (waits for the child to say so).
    bool Ready();
    // Runs the child's last step and waits for it to exit.
    void Finish();
    // SIGKILL, and the child reaped: its process number is free again.
    void Kill();

private:
    void Reap();

    pid_t m_pid = -1;
    int m_toChild = -1;
    int m_fromChild = -1;
};

} // namespace kestrel::test
