#include "capture/piped_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {
constexpr size_t shownMessageBytes = 1200;  // the tail of the child's messages shown on failure
}

PipedProcess::~PipedProcess() {
    kill();
    if (log >= 0) ::close(log);
}

bool PipedProcess::start(const std::vector<std::string>& arguments, std::string* error) {
    if (arguments.empty() || pid > 0) {
        *error = "nothing to start";
        return false;
    }
    name = arguments[0];
    char logTemplate[] = "/tmp/oku-capture-log-XXXXXX";
    log = ::mkstemp(logTemplate);
    if (log >= 0) ::unlink(logTemplate);
    int pipeEnds[2];
    if (log < 0 || ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        *error = std::string("cannot set up a pipe to ") + name + ": " + std::strerror(errno);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, log, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, log, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int result = posix_spawnp(&pid, name.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeEnds[0]);
    if (result != 0) {
        pid = -1;
        ::close(pipeEnds[1]);
        *error = "cannot run " + name + ": " + std::strerror(result);
        if (result == ENOENT) *error += " (tools/setup.sh installs it)";
        return false;
    }
    input = pipeEnds[1];
    return true;
}

bool PipedProcess::write(const void* bytes, size_t size) {
    const char* next = static_cast<const char*>(bytes);
    while (size > 0) {
        if (input < 0) return false;
        ssize_t written = ::write(input, next, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            closeInput();  // EPIPE: the child has gone (SIGPIPE is ignored while capturing)
            return false;
        }
        next += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

void PipedProcess::closeInput() {
    if (input >= 0) ::close(input);
    input = -1;
}

bool PipedProcess::finish(std::string* error) {
    closeInput();
    if (pid <= 0) {
        *error = name + " is not running";
        return false;
    }
    int status = 0;
    pid_t waited;
    do {
        waited = ::waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    pid = -1;
    if (waited > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    char how[64];
    if (waited > 0 && WIFSIGNALED(status))
        std::snprintf(how, sizeof how, "was killed by signal %d", WTERMSIG(status));
    else if (waited > 0)
        std::snprintf(how, sizeof how, "failed with exit code %d", WEXITSTATUS(status));
    else
        std::snprintf(how, sizeof how, "could not be waited for");
    *error = name + " " + how;
    std::string said = messages();
    if (!said.empty()) *error += ":\n" + said;
    return false;
}

void PipedProcess::kill() {
    closeInput();
    if (pid <= 0) return;
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

std::string PipedProcess::messages() const {
    if (log < 0) return {};
    off_t size = ::lseek(log, 0, SEEK_END);
    if (size <= 0) return {};
    off_t from = size > static_cast<off_t>(shownMessageBytes) ? size - static_cast<off_t>(shownMessageBytes) : 0;
    std::string text(static_cast<size_t>(size - from), '\0');
    ssize_t got = ::pread(log, &text[0], text.size(), from);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}
