#include "platform/posix/PosixProcesses.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "platform/posix/RegularFile.h"

extern char** environ;

namespace vantlo {
namespace {

std::string procPath(Pid pid) {
    return "/proc/" + std::to_string(pid);
}

// The state letter of /proc/PID/stat (after the parenthesised command name).
char processState(Pid pid) {
    std::string text =
        RegularFile::read(procPath(pid) + "/stat", RegularFile::kSmallSystemFileLimit).contents;
    auto close = text.rfind(')');
    if (close == std::string::npos || close + 2 >= text.size())
        return '?';
    return text[close + 2];
}

struct Pipe {
    int read = -1;
    int write = -1;
    ~Pipe() {
        if (read >= 0)
            ::close(read);
        if (write >= 0)
            ::close(write);
    }
};

// Reads the child's output until it closes the pipe or the deadline passes; false on time-out.
bool drainUntil(int fd, std::chrono::steady_clock::time_point deadline, std::string& out) {
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ready == 0 ? false : true;
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

int waitExitCode(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace

PosixProcesses::PosixProcesses(std::shared_ptr<Log> log) : log_(std::move(log)) {}

Pid PosixProcesses::currentPid() {
    return static_cast<Pid>(::getpid());
}

std::uint32_t PosixProcesses::currentUid() {
    return static_cast<std::uint32_t>(::getuid());
}

std::optional<std::uint32_t> PosixProcesses::ownerUid(Pid pid) {
    if (pid < 1)
        return std::nullopt;
    struct stat info {};
    if (::stat(procPath(pid).c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(info.st_uid);
}

bool PosixProcesses::isRunning(Pid pid) {
    if (pid < 1)
        return false;
    if (::kill(pid, 0) != 0 && errno != EPERM)
        return false;
    char state = processState(pid);
    return state != 'Z' && state != 'X';
}

void PosixProcesses::refuse(Pid pid, int signal, const char* reason) {
    if (log_)
        log_->write("[Vantlo] Refused to send signal " + std::to_string(signal) + " to process " +
                    std::to_string(pid) + ": " + reason);
}

bool PosixProcesses::sendSignal(Pid pid, int signal) {
    if (pid < 2) {
        refuse(pid, signal, "not an ordinary process");
        return false;
    }
    if (pid == currentPid()) {
        refuse(pid, signal, "this is Vantlo itself");
        return false;
    }
    auto owner = ownerUid(pid);
    if (!owner) {
        refuse(pid, signal, "no such process");
        return false;
    }
    if (*owner != currentUid()) {
        refuse(pid, signal, "it belongs to another user");
        return false;
    }
    return ::kill(pid, signal) == 0;
}

std::optional<ProgramResult> PosixProcesses::run(const std::string& program,
                                                 const std::vector<std::string>& arguments,
                                                 double timeoutSeconds) {
    Pipe out;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    out.read = fds[0];
    out.write = fds[1];

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    std::vector<std::string> argvStrings{program};
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& s : argvStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    // A group of its own, so that an overrun ends the helpers it started too: a helper script
    // stuck in a grep over a FIFO or /dev/zero would otherwise live on, orphaned.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t child = -1;
    int spawned =
        ::posix_spawnp(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        return std::nullopt;
    ::close(out.write);
    out.write = -1;

    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000));
    ProgramResult result;
    if (!drainUntil(out.read, deadline, result.standardOutput))
        ::kill(-child, SIGKILL);
    int code = waitExitCode(child);
    // posix_spawnp reports a missing program through the child's exit status 127.
    if (code == 127 && result.standardOutput.empty())
        return std::nullopt;
    result.exitCode = code;
    return result;
}

}  // namespace vantlo
