// The console tool empty.exe (tools/empty), built for the same target as the program and held
// as a constant byte block that working-set trimming writes out.
#pragma once

#include "runtime/value.h"

extern const ByteBlock EmptyTool;
