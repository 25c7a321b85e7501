// The readers take file paths, so each fuzz input is written to one scratch file
// (created once per process, rewritten for every input) and read back from there.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

class FuzzInputFile {
public:
    explicit FuzzInputFile(const char* suffix) {
        std::string pattern = std::string("/tmp/oku-fuzz-XXXXXX") + suffix;
        path_ = pattern;
        int descriptor = mkstemps(&path_[0], static_cast<int>(std::string(suffix).size()));
        if (descriptor < 0) std::abort();
        close(descriptor);
    }
    ~FuzzInputFile() { std::remove(path_.c_str()); }

    const char* write(const unsigned char* data, size_t size) {
        std::FILE* out = std::fopen(path_.c_str(), "wb");
        if (!out) std::abort();
        if (size) std::fwrite(data, 1, size, out);
        std::fclose(out);
        return path_.c_str();
    }

private:
    std::string path_;
};
