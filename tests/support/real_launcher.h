// The fixture of the end-to-end tests: the real qlbar.exe started as a user starts it,
// with the groups a test puts in the registry and the settings it writes, and closed
// as a user closes it. Every test starts with no groups and a settings file that holds
// only the answer to the first run's question about the Start Menu.
#pragma once

#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace testing_support {

class RealLauncherTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Closes a launcher the test left running, then clears the groups and the settings.
    void TearDown() override;

    void Set(const char* key, const std::string& value);
    std::string Saved(const char* key) const;

    // Starts the launcher and waits for its bar and its minimised Set Up dialog.
    void Start();
    // Closes it as a user does; it must end within 20 s with exit code 0.
    void Quit();

    // The launcher's visible top-level window of this class (and caption, when given), or null.
    HWND FindWindowOf(const std::string& className, const std::string& caption = "") const;

    std::string m_exe;
    std::unique_ptr<RunningProcess> m_launcher;
    HWND m_bar = nullptr;
    HWND m_dialog = nullptr;
};

}  // namespace testing_support
