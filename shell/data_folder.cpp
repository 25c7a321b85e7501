#include "shell/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/window/message_box.h"

namespace {

const char* const dataFolders[] = {"textures", "mesh", "spline", "Cg", "sound"};

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string workingFolder() {
    std::vector<char> path(4096);
    return ::getcwd(path.data(), path.size()) ? std::string(path.data()) : std::string(".");
}

int demoDataFoldersIn(const std::string& folder) {
    int held = 0;
    for (const char* name : dataFolders) held += isFolder(folder + "/" + name) ? 1 : 0;
    return held;
}

}  // namespace

std::string programFolder() {
    std::vector<char> path(4096);
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return ".";
    std::string program(path.data(), static_cast<size_t>(length));
    size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string(".") : program.substr(0, slash == 0 ? 1 : slash);
}

std::string chooseDataFolder(const std::string& working, const std::string& program) {
    const int all = static_cast<int>(sizeof dataFolders / sizeof dataFolders[0]);
    const int inWorking = demoDataFoldersIn(working);
    const int inProgram = demoDataFoldersIn(program);
    if (inWorking == all) return working;
    if (inProgram == all) return program;
    if (inWorking > 0) return working;
    if (inProgram > 0) return program;
    return "";
}

bool enterDataFolder() {
    const std::string here = workingFolder();
    const std::string program = programFolder();
    const std::string chosen = chooseDataFolder(here, program);
    if (chosen == here) return true;
    if (!chosen.empty() && ::chdir(chosen.c_str()) == 0) return true;

    const std::string text = "The demo's data (textures/, mesh/, spline/, Cg/, sound/) is in neither the working "
                             "directory " + here + " nor the program's folder " + program + ".";
    std::fprintf(stderr, "oku: %s\n", text.c_str());
    MessageBoxA(nullptr, text.c_str(), "oku", MB_OK | MB_ICONERROR);
    return false;
}
