#include "tests/support/recorder_log.h"

#include "tests/support/win_fixtures.h"

#include <cstdlib>
#include <sstream>

namespace testing_support {

std::vector<RecordedStart> ReadRecorderLog(const std::string& path)
{
    std::vector<RecordedStart> starts;
    std::istringstream text(ReadWholeFile(path));
    RecordedStart current{"", "", -1};
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("cmdline=", 0) == 0)
            current.commandLine = line.substr(8);
        else if (line.rfind("cwd=", 0) == 0)
            current.directory = line.substr(4);
        else if (line.rfind("show=", 0) == 0)
            current.show = std::atoi(line.c_str() + 5);
        else if (line == "end") {
            starts.push_back(current);
            current = RecordedStart{"", "", -1};
        }
    }
    return starts;
}

std::string RecorderPath()
{
    const char* exe = std::getenv("QUILLBAR_RECORDER");
    return exe ? WinePathOf(exe) : std::string();
}

}  // namespace testing_support
