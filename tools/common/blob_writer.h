// Writes arrays as raw binary blobs, the form in which compiled-in model data is
// embedded into the program (an assembler .incbin of the file).
#pragma once

#include <string>
#include <vector>

namespace gen {

bool writeBlob(const std::string& path, const std::vector<float>& data);

}  // namespace gen
