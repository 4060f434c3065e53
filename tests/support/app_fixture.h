// The fixture of the tests that run the launcher's application object inside the test
// program: attached to it, with no groups in the registry and no settings file; the
// bar's window, if a test made one, is destroyed and the messages left are dropped.
#pragma once

#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

namespace testing_support {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What start-up gives the bar before it paints: a background brush and an empty icon strip.
    void PrepareBar();
    CButtonBarWnd& Bar() { return *m_app.m_pButtonWnd; }

    CLaunchApp m_app;
};

}  // namespace testing_support
