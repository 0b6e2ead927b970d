#include "support/forkedchild.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace kestrel::test {

namespace {

char ReadByte(int fd)
{
    char c = 0;
    while (true) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n == 1)
            return c;
        if (n == 0 || errno != EINTR)
            return 0;
    }
}

void WriteByte(int fd, char c)
{
    while (::write(fd, &c, 1) != 1 && errno == EINTR) {
    }
}

} // namespace

ForkedChild::ForkedChild(const std::function<bool()>& setup, const std::function<void()>& finish)
{
    int down[2];
    int up[2];
    if (::pipe(down) != 0 || ::pipe(up) != 0)
        std::abort();
    m_pid = ::fork();
    if (m_pid < 0)
        std::abort();
    if (m_pid == 0) {
        ::close(down[1]);
        ::close(up[0]);
        WriteByte(up[1], setup() ? '1' : '0');
        // Waits for the word to finish; a test that ended without one (its
        // end of the pipe closed) ends the child too.
        if (ReadByte(down[0]) == 'f' && finish)
            finish();
        WriteByte(up[1], 'd');
        ::_exit(0);
    }
    ::close(down[0]);
    ::close(up[1]);
    m_toChild = down[1];
    m_fromChild = up[0];
}

ForkedChild::~ForkedChild()
{
    if (m_pid > 0)
        Kill();
    if (m_toChild >= 0)
        ::close(m_toChild);
    if (m_fromChild >= 0)
        ::close(m_fromChild);
}

bool ForkedChild::Ready()
{
    return ReadByte(m_fromChild) == '1';
}

void ForkedChild::Finish()
{
    if (m_pid <= 0)
        return;
    WriteByte(m_toChild, 'f');
    ReadByte(m_fromChild);
    Reap();
}

void ForkedChild::Kill()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    Reap();
}

void ForkedChild::Reap()
{
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

} // namespace kestrel::test
