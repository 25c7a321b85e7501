// Instruction counts of a frame's parts, for a judge that the machine's neighbours
// cannot move: run under callgrind with instrumentation off at the start
// (bench/pass_instructions.sh), a bench switches counting on once its shaders are
// compiled and closes one count per part it names. Outside callgrind both calls do
// nothing.
#pragma once

#include <functional>

// Starts counting (the bench's warm-up frames, shader compiles among them, stay
// out of the counts).
void startCountingInstructions();

// Ends the count running since the last call and files it under `part`; counts
// filed under the same name are added up by the script.
void closeInstructionCount(const char* part);

// A scene bench's --instructions run: drawScene(false) and one fill frame once
// through uncounted (the shader compiles), then drawScene(true) counted, whatever it
// left open filed as `rest`, then `frames` fill frames filed as "fill limit".
void countSceneInstructions(int frames, const std::function<void(bool counting)>& drawScene, const char* rest,
                            const std::function<void(int)>& fillFrame);
