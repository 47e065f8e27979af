#pragma once
// Runs a piece of a test as another, unprivileged user, so that folder permissions
// apply as they would to a user (root passes every permission check).
#include <functional>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// The user the tests take on when they run as root.
inline constexpr uid_t OtherUserId = 65534; // nobody
inline constexpr gid_t OtherGroupId = 65534;

// When this process is root: runs what in a child process as OtherUserId and returns
// its result. Otherwise runs it here, as the present (already unprivileged) user.
// The child only runs what and ends with _exit: no Qt shutdown, no test output.
inline bool runAsOtherUser(const std::function<bool()> &what)
{
    if (::getuid() != 0)
        return what();
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (::setgid(OtherGroupId) != 0 || ::setuid(OtherUserId) != 0)
            ::_exit(2);
        ::_exit(what() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
