// The fixture of the tests that run the launcher's application object inside the test
// program: attached to it, with no groups in the registry and no settings file; the
// bar's window, if a test made one, is destroyed and the messages left are dropped. A
// test that needs an application of its own kind (one that counts a call, say) names
// it: the fixture holds that one and no other, so the bar and the test see one object.
#pragma once

#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

namespace testing_support {

void AttachTestApp(CLaunchApp& app);
void DetachTestApp(CLaunchApp& app);
// What start-up gives the bar before it paints: a background brush.
void PrepareTestBar(CLaunchApp& app);

template <class App>
class AppTestOf : public ::testing::Test {
protected:
    void SetUp() override { AttachTestApp(m_app); }
    void TearDown() override { DetachTestApp(m_app); }
    void PrepareBar() { PrepareTestBar(m_app); }
    CButtonBarWnd& Bar() { return *m_app.m_pButtonWnd; }

    App m_app;
};

using AppTest = AppTestOf<CLaunchApp>;

}  // namespace testing_support
