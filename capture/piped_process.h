// A program run beside the capture (ffmpeg) with its standard input fed from a
// pipe. Its standard output and error go to an unnamed temporary file, so its
// messages do not break the progress line and can be shown when it fails. It runs
// in a process group of its own: Ctrl-C in the terminal reaches the capture, which
// then finishes the file in order, and not the encoder halfway.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

class PipedProcess {
public:
    PipedProcess() = default;
    ~PipedProcess();  // kills and reaps a child still running
    PipedProcess(const PipedProcess&) = delete;
    PipedProcess& operator=(const PipedProcess&) = delete;

    // Starts arguments[0] (looked up on PATH). False, with *error set, when it cannot.
    bool start(const std::vector<std::string>& arguments, std::string* error);
    // Writes all bytes to the child's input; false once the child has gone away
    // (it closed its input, exited or was killed).
    bool write(const void* bytes, size_t size);
    // Closes the child's input and waits for it. False, with *error set to how it
    // ended and the last lines it wrote, unless it exited with status 0.
    bool finish(std::string* error);
    // Ends the child at once (when the capture gives up).
    void kill();

private:
    std::string messages() const;
    void closeInput();

    pid_t pid = -1;
    int input = -1;
    int log = -1;
    std::string name;
};
