// The memory the step build of the launcher leaves its start-up marks in.
#pragma once

#include <cstdint>

constexpr const char* kStepMarksName = "QuillbarStepMarks%lu";  // the process id
constexpr int kMaxStepMarks = 32;

struct StepMark {
    char name[40];
    int64_t counter;  // QueryPerformanceCounter
};

struct StepMarks {
    int32_t count;
    StepMark marks[kMaxStepMarks];
};
