// Where tests save the pictures and sounds they make, for a person to look at.
#pragma once

#include <string>

#include "tools/common/png_writer.h"

// The directory for test images (created on demand), with a trailing slash.
std::string testOutputDir();
