// Runs a program of the build as a child process with an environment of the test's
// choosing, collecting its stderr, so a test can see what a user starting it sees.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

class ChildProcess {
public:
    // `environment` changes the test's own: a value replaces a variable's, the value
    // ChildProcess::unset removes the variable.
    static const char* const unset;

    ChildProcess(const std::string& program, const std::map<std::string, std::string>& environment,
                 const std::string& workingDirectory, const std::vector<std::string>& arguments = {});
    ~ChildProcess();  // kills a child that is still running

    bool started() const { return pid > 0; }
    pid_t processId() const { return pid; }
    bool running();
    // Waits up to `seconds`; true when the child ended (then exitCode/signal are set).
    bool waitFor(double seconds);
    void kill();

    int exitCode = -1;  // when it exited normally
    int signal = 0;     // when a signal ended it
    std::string stderrText;

private:
    void drainStderr();
    pid_t pid = -1;
    int stderrPipe = -1;
    bool ended = false;
};
