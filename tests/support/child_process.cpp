#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

const char* const ChildProcess::unset = "\x01unset";

ChildProcess::ChildProcess(const std::string& program, const std::map<std::string, std::string>& environment,
                           const std::string& workingDirectory, const std::vector<std::string>& arguments) {
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : environment) {
        if (value == unset)
            merged.erase(name);
        else
            merged[name] = value;
    }
    std::vector<std::string> entries;
    for (const auto& [name, value] : merged) entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    stderrPipe = pipeEnds[0];
    fcntl(stderrPipe, F_SETFL, O_NONBLOCK);
}

ChildProcess::~ChildProcess() {
    kill();
    if (stderrPipe >= 0) close(stderrPipe);
}

void ChildProcess::drainStderr() {
    char buffer[4096];
    ssize_t got;
    while (stderrPipe >= 0 && (got = read(stderrPipe, buffer, sizeof buffer)) > 0) stderrText.append(buffer, got);
}

bool ChildProcess::running() {
    if (pid <= 0 || ended) return false;
    drainStderr();
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != pid) return true;
    ended = true;
    if (WIFEXITED(status)) exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) signal = WTERMSIG(status);
    drainStderr();
    return false;
}

bool ChildProcess::waitFor(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return pid > 0;
}

void ChildProcess::kill() {
    if (!running()) return;
    ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ended = true;
    signal = SIGKILL;
    drainStderr();
}
