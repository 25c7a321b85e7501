// A scratch directory for tests that write data files and read them back through
// the demo's readers. Removed, with everything in it, when it goes out of scope.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "oku-assets-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) path_ = buffer.data();
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }

    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::string target = file(name);
        if (std::FILE* out = std::fopen(target.c_str(), "wb")) {
            if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
        return target;
    }

    std::string write(const std::string& name, const std::string& text) const {
        return write(name, std::vector<unsigned char>(text.begin(), text.end()));
    }

    static std::vector<unsigned char> read(const std::string& path) {
        std::vector<unsigned char> bytes;
        if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
            unsigned char chunk[4096];
            size_t count;
            while ((count = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + count);
            std::fclose(in);
        }
        return bytes;
    }

private:
    std::string path_;
};
