#include "tools/common/command_line.h"

#include <cstdio>
#include <cstring>

namespace gen {

bool checkUsage(int argc, char** argv, int operands, const char* usage) {
    if (argc > operands) return true;
    std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
    return false;
}

bool hasFlag(int argc, char** argv, int index, const char* flag) {
    return argc > index && std::strcmp(argv[index], flag) == 0;
}

std::string outputPath(const std::string& dir, const char* tablePath) {
    const char* slash = std::strrchr(tablePath, '/');
    return dir + "/" + (slash ? slash + 1 : tablePath);
}

bool touchStamp(const char* path) {
    FILE* stamp = std::fopen(path, "wb");
    return stamp && std::fclose(stamp) == 0;
}

}  // namespace gen
