// The trace tool's engine, compiled into this test program so that the tests replay
// scripts through exactly the code the tool runs.
#include "../../tools/zol-trace/Trace.cpp"
