#include "capture/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string outputPathProblem(const std::string& path) {
    if (path.empty()) return "no output file given";
    if (path.back() == '/' || isFolder(path)) return "the output " + path + " is a folder, not a file";
    std::string folder = folderOf(path);
    if (!isFolder(folder)) return "cannot write " + path + ": the folder " + folder + " does not exist";
    // Try it: permissions alone do not tell (read-only mounts, special file systems, root).
    std::string probe = temporaryPathBeside(path, "probe");
    int made = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (made < 0)
        return "cannot write " + path + ": the folder " + folder + " is not writable (" + std::strerror(errno) + ")";
    ::close(made);
    ::unlink(probe.c_str());
    if (::access(path.c_str(), F_OK) == 0) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            return "cannot write " + path + ": it exists and is not a regular file";
    }
    return {};
}

std::string temporaryPathBeside(const std::string& path, const char* role) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + "." + role + "-" + std::to_string(::getpid()) + ".mp4";
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char* here = ::getcwd(nullptr, 0);
    if (!here) return path;
    std::string absolute = std::string(here) + "/" + path;
    std::free(here);
    return absolute;
}

std::string runDirectoryProblem(const std::string& folder) {
    if (!isFolder(folder)) return "the run directory " + folder + " does not exist";
    for (const char* data : {"textures", "spline", "mesh", "Cg", "sound"})
        if (isFolder(folder + "/" + data)) return {};
    return folder + " is not the demo's run directory (none of textures/, spline/, mesh/, Cg/, sound/ "
                    "is there); build it with ./play.sh";
}
