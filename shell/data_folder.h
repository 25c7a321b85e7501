// Where the demo reads its data from. Every data path is relative to the working
// directory ("textures/...", "./sound/..."), which is right when the demo is started
// from its run directory. Started from anywhere else, the demo moves into the folder
// its executable lives in, where the build puts the data next to it.
#pragma once

#include <string>

// The folder of the running executable ("." when it cannot be read).
std::string programFolder();

// True when `folder` holds any of the demo's data folders (textures/, mesh/, spline/, Cg/, sound/).
bool holdsDemoData(const std::string& folder);

// Keeps a working directory that holds the data, else changes to the program's
// folder when that one does. When neither does, says where it looked in one line
// on stderr and one message box, and returns false.
bool enterDataFolder();
