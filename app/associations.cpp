// CLaunchApp's document association table: read at once (the restart command), or by
// the start-up in turns on a timer of the thread's; and the command line of a click
// start, which looks documents up in it.
#include "app/launch_app.h"
#include "launch/associations.h"
#include "launch/launch_platform.h"

#include <memory>
#include <new>

namespace {

// The first turn waits until the start-up has shown the bar and settled; then the turns
// follow each other as fast as the platform delivers timers, which it does only when no
// other message waits.
constexpr UINT kFirstTurnMs = 100;
constexpr UINT kNextTurnMs = USER_TIMER_MINIMUM;

}  // namespace

struct CLaunchApp::PendingAssociations {
    AssociationWalk walk;
    std::vector<std::string> extensions;
    std::vector<std::string> openCommands;
    UINT_PTR timer = 0;
    bool quick = false;  // the turns after the first
};

void CALLBACK CLaunchApp::AssociationTimer(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    CLaunchApp* app = LaunchApp();
    PendingAssociations* pending = app ? app->m_pPendingAssociations : nullptr;
    if (!pending || pending->timer != idEvent) {
        KillTimer(nullptr, idEvent);  // a read that has been taken or given up
        return;
    }
    if (!ReadForATurn(pending->walk, pending->extensions, pending->openCommands)) {
        app->WaitForAssociations();
    } else if (!pending->quick) {
        // After the first turn, the next ones come quickly; should the platform give the
        // quicker timer a new identity, the first one goes.
        const UINT_PTR quick = SetTimer(nullptr, idEvent, kNextTurnMs, AssociationTimer);
        if (quick) {
            if (quick != idEvent)
                KillTimer(nullptr, idEvent);
            pending->timer = quick;
            pending->quick = true;
        }
    }
}

void CLaunchApp::LoadAssociations()
{
    DiscardPendingAssociations();
    m_extensions.clear();
    m_openCommands.clear();
    AssociationWalk walk;
    ReadToTheEnd(walk, m_extensions, m_openCommands);
}

void CLaunchApp::StartLoadingAssociations()
{
    DiscardPendingAssociations();
    m_extensions.clear();
    m_openCommands.clear();
    std::unique_ptr<PendingAssociations> pending(new (std::nothrow) PendingAssociations());
    if (pending)
        pending->timer = SetTimer(nullptr, 0, kFirstTurnMs, AssociationTimer);
    if (!pending || !pending->timer) {
        LoadAssociations();
        return;
    }
    m_pPendingAssociations = pending.release();
}

void CLaunchApp::WaitForAssociations()
{
    if (!m_pPendingAssociations)
        return;
    std::unique_ptr<PendingAssociations> pending(m_pPendingAssociations);
    m_pPendingAssociations = nullptr;
    KillTimer(nullptr, pending->timer);
    ReadToTheEnd(pending->walk, pending->extensions, pending->openCommands);
    m_extensions = std::move(pending->extensions);
    m_openCommands = std::move(pending->openCommands);
}

void CLaunchApp::DiscardPendingAssociations()
{
    if (!m_pPendingAssociations)
        return;
    KillTimer(nullptr, m_pPendingAssociations->timer);
    delete m_pPendingAssociations;
    m_pPendingAssociations = nullptr;
}

std::string CLaunchApp::BuildCommandLine(const std::string& command)
{
    WaitForAssociations();
    return ClickCommandLine(command, AssociationTable{m_extensions, m_openCommands});
}
