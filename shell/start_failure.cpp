#include "shell/start_failure.h"

#include <cstdio>

void reportFailedStart(const char* what) { std::fprintf(stderr, "oku: could not start: %s\n", what); }
