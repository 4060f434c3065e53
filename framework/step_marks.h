// Marks between the steps of the start-up, for the benchmark's build that times them
// (bench/step_marks.cpp). In every other build they are nothing at all.
#pragma once

#ifdef QUILLBAR_STEP_MARKS
void MarkStep(const char* name);
#define QL_MARK_STEP(name) MarkStep(name)
#else
#define QL_MARK_STEP(name) static_cast<void>(0)
#endif
