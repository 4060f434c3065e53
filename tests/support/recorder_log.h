// Reading what the recorder program (tests/support/recorder.cpp) wrote about its starts.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct RecordedStart {
    std::string commandLine, directory;
    int show;
};

// The complete blocks of the log, oldest first; none when the file does not exist.
std::vector<RecordedStart> ReadRecorderLog(const std::string& path);

// The recorder's Windows path: $QUILLBAR_RECORDER, a Unix path, seen through Wine's Z: drive.
std::string RecorderPath();

}  // namespace testing_support
