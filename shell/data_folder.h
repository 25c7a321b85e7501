// Where the demo reads its data from. Every data path is relative to the working
// directory ("textures/...", "./sound/..."), which is right when the demo is started
// from its run directory. Started from anywhere else, the demo moves into the folder
// its executable lives in, where the build puts the data next to it.
#pragma once

#include <string>

// The folder of the running executable ("." when it cannot be read).
std::string programFolder();

// Of the working directory and the program's folder, in this order, the first
// that holds all five data folders (textures/, mesh/, spline/, Cg/, sound/);
// where neither does, the first that holds any (a run directory with a folder
// missing still plays, with its files reported missing one by one); "" where
// neither holds any. A user's own textures/ or sound/ in the folder they start
// from does not hide the demo's own data.
std::string chooseDataFolder(const std::string& working, const std::string& program);

// Changes to the folder chooseDataFolder picks. Where there is none, says where it
// looked in one line on stderr and one message box, and returns false.
bool enterDataFolder();
