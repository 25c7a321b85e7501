#include "tools/common/blob_writer.h"

#include <cstdio>

namespace gen {

bool writeBlob(const std::string& path, const std::vector<float>& data) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(data.data(), sizeof(float), data.size(), file) == data.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace gen
