#include "support/scratch_run_directory.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

ScratchRunDirectory::ScratchRunDirectory() {
    static int made = 0;
    original = fs::current_path();
    scratch = fs::temp_directory_path() / ("oku-run-" + std::to_string(getpid()) + "-" + std::to_string(made++));
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    fs::current_path(scratch);
}

ScratchRunDirectory::~ScratchRunDirectory() {
    std::error_code ignored;
    fs::current_path(original, ignored);
    fs::remove_all(scratch, ignored);
}

void ScratchRunDirectory::copyFromRunDir(const std::string& relative) const {
    fs::create_directories((scratch / relative).parent_path());
    fs::copy(original / relative, scratch / relative,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void ScratchRunDirectory::linkRunDir() const {
    for (const auto& entry : fs::recursive_directory_iterator(original)) {
        const fs::path relative = fs::relative(entry.path(), original);
        if (entry.is_directory()) {
            fs::create_directories(scratch / relative);
        } else if (entry.is_regular_file()) {
            fs::create_directories((scratch / relative).parent_path());
            fs::create_symlink(entry.path(), scratch / relative);
        }
    }
}

void ScratchRunDirectory::write(const std::string& relative, const std::string& text) const {
    fs::create_directories((scratch / relative).parent_path());
    fs::remove(scratch / relative);  // a link to the run directory's file is replaced, not written through
    std::ofstream(scratch / relative, std::ios::binary | std::ios::trunc) << text;
}

void ScratchRunDirectory::remove(const std::string& relative) const { fs::remove(scratch / relative); }

void ScratchRunDirectory::truncate(const std::string& relative, size_t bytes) const {
    std::string data;
    {
        std::ifstream in(scratch / relative, std::ios::binary);
        data.assign(std::istreambuf_iterator<char>(in), {});
    }
    write(relative, data.substr(0, std::min(bytes, data.size())));
}
