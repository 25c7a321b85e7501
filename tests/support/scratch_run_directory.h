// A scratch working directory standing in for the run directory, for tests that
// run the demo's code with some of its data files missing or damaged. While the
// object lives it is the current directory; the previous one is restored and the
// scratch directory removed when it goes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

class ScratchRunDirectory {
public:
    ScratchRunDirectory();
    ~ScratchRunDirectory();
    ScratchRunDirectory(const ScratchRunDirectory&) = delete;
    ScratchRunDirectory& operator=(const ScratchRunDirectory&) = delete;

    // Copies one file, or a whole folder, of the run directory.
    void copyFromRunDir(const std::string& relative) const;
    // Links every file of the run directory, so single files can then be replaced.
    void linkRunDir() const;
    void write(const std::string& relative, const std::string& text) const;
    void remove(const std::string& relative) const;
    // Cuts a file to its first `bytes` bytes.
    void truncate(const std::string& relative, size_t bytes) const;

    const std::filesystem::path& path() const { return scratch; }
    // The run directory the tests started in.
    const std::filesystem::path& runDir() const { return original; }

private:
    std::filesystem::path original, scratch;
};
