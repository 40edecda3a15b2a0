#include "process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace zentab::testkit {

const bool kFileNamesAreBytes = true;

namespace {

void Check(int result, const char* what)
{
    if (result != 0)
        throw std::runtime_error(std::string(what) + ": " + std::strerror(result < 0 ? errno : result));
}

// Both pipes are read together, so a program that fills one while the test
// waits on the other cannot stall. Closes both; false at the deadline.
bool Drain(int outFd, int errFd, ProcessResult& result, std::chrono::steady_clock::time_point end)
{
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    char buffer[65536];
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            for (const pollfd& open : fds)
                if (open.fd >= 0)
                    ::close(open.fd);
            return false;
        }
        const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
    }
    return true;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const StandardOutput& output, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    int outPipe[2] = {-1, -1};
    int errPipe[2];
    Check(::pipe2(errPipe, O_CLOEXEC), "pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    if (output.kind == StandardOutput::File) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.file.c_str(), O_WRONLY, 0);
    } else {
        Check(::pipe2(outPipe, O_CLOEXEC), "pipe");
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
        // Closed before the program starts, so its very first write meets
        // a pipe nobody reads.
        if (output.kind == StandardOutput::ClosedPipe) {
            ::close(outPipe[0]);
            outPipe[0] = -1;
        }
    }
    // The program meets a closed pipe as a shell would start it, whatever
    // the test runner does with SIGPIPE.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(errPipe[1]);
    if (outPipe[1] >= 0)
        ::close(outPipe[1]);
    if (spawned != 0) {
        ::close(errPipe[0]);
        if (outPipe[0] >= 0)
            ::close(outPipe[0]);
        Check(spawned, "posix_spawn");
    }

    ProcessResult result;
    if (!Drain(outPipe[0], errPipe[0], result, end)) {
        result.timedOut = true;
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.timedOut && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    return result;
}

}  // namespace zentab::testkit
