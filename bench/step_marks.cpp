// The step build's marks: the performance counter at each mark of the start-up, kept in
// memory that the start-up driver opens by this process's id once the launcher is ready
// (bench/startup_driver.cpp reads the same layout).
#include "bench/step_marks_layout.h"
#include "framework/step_marks.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

void MarkStep(const char* name)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    static StepMarks* marks = [] {
        char mapping[64];
        std::snprintf(mapping, sizeof mapping, kStepMarksName, static_cast<unsigned long>(GetCurrentProcessId()));
        HANDLE section =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(StepMarks), mapping);
        // The section lives as long as the process: the driver reads it before ending it.
        return section ? static_cast<StepMarks*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(StepMarks)))
                       : nullptr;
    }();
    if (!marks || marks->count >= kMaxStepMarks)
        return;
    StepMark& mark = marks->marks[marks->count];
    std::strncpy(mark.name, name, sizeof mark.name - 1);
    mark.counter = now.QuadPart;
    ++marks->count;
}
