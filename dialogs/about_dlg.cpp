#include "dialogs/about_dlg.h"

#include "dialogs/system_facts.h"
#include "framework/app_base.h"
#include "framework/gdi.h"
#include "resource.h"

#include <cstdint>

namespace {

constexpr UINT kAboutTemplate = IDD_ABOUT;
constexpr DWORD kUserNameLength = 256;

std::string LoadText(UINT nID)
{
    fw::Application* app = fw::Application::Current();
    return app ? app->LoadResString(nID) : std::string();
}

// Total physical memory in whole kilobytes. The plain memory status stops at 4 GB in a
// 32-bit process, so the extended one comes first.
uint64_t TotalPhysicalKilobytes()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status))
        return status.ullTotalPhys >> 10;
    MEMORYSTATUS plain = {};
    plain.dwLength = sizeof plain;
    GlobalMemoryStatus(&plain);
    return static_cast<uint64_t>(plain.dwTotalPhys) >> 10;
}

}  // namespace

CAboutDlg::CAboutDlg(UINT nIDTitle, UINT nIDVersion, UINT nIDNotice)
    : fw::Dialog(kAboutTemplate, nullptr),
      m_strCaption("About " + LoadText(nIDTitle)),
      m_strVersion(LoadText(nIDVersion)),
      m_strNotice(LoadText(nIDNotice))
{
}

CAboutDlg::~CAboutDlg() = default;

BOOL CAboutDlg::OnInitDialog()
{
    SetWindowTextA(m_hWnd, m_strCaption.c_str());
    SetDlgItemTextA(m_hWnd, IDC_ABOUT_VERSION, m_strVersion.c_str());
    SetDlgItemTextA(m_hWnd, IDC_ABOUT_NOTICE, m_strNotice.c_str());
    FillSystemInfo();

    fw::CentreOnDesktop(m_hWnd);
    return TRUE;
}

void CAboutDlg::OnOK()
{
    // Shift and Ctrl with OK: the build stamp, and a fresh look at the machine.
    if (GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) < 0) {
        SetDlgItemTextA(m_hWnd, IDC_ABOUT_VERSION, BuildStamp(__TIME__, __DATE__).c_str());
        FillSystemInfo();
        return;
    }
    EndDialog(IDOK);
}

void CAboutDlg::FillSystemInfo()
{
    const auto set = [this](int nID, const std::string& text) { SetDlgItemTextA(m_hWnd, nID, text.c_str()); };

    set(IDC_ABOUT_MEMORY, LoadText(IDS_INFO_MEMORY) + GroupDigits(TotalPhysicalKilobytes()) + LoadText(IDS_INFO_KB));

    // The native view: a 32-bit build on 64-bit Windows would otherwise see a Pentium.
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    std::string processor;
    if (const unsigned nameId = ProcessorNameId(info.dwProcessorType, info.wProcessorArchitecture))
        processor = LoadText(nameId);
    else
        processor = LoadText(IDS_CPU_UNKNOWN) + std::to_string(info.dwProcessorType);
    set(IDC_ABOUT_CPU, LoadText(IDS_INFO_CPU) + processor);

    set(IDC_ABOUT_CPU_COUNT_LABEL, LoadText(IDS_INFO_CPU_COUNT));
    // Beyond 64 processors the system information counts only this process's group.
    DWORD processors = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    if (processors == 0)
        processors = info.dwNumberOfProcessors;
    char processorCount[32] = {};
    // wsprintf rather than the C library's printf, which would bring its floating point along.
    wsprintfA(processorCount, "= %lu CPU", static_cast<unsigned long>(processors));
    set(IDC_ABOUT_CPU_COUNT, processorCount);

    char user[kUserNameLength] = {};
    DWORD length = kUserNameLength;
    if (!GetUserNameA(user, &length))
        user[0] = '\0';
    set(IDC_ABOUT_USER, LoadText(IDS_INFO_USER) + user);

    char screen[32] = {};
    wsprintfA(screen, "%dx%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    set(IDC_ABOUT_SCREEN, LoadText(IDS_INFO_SCREEN) + screen);

    std::string colours;
    {
        fw::WindowDC dc(m_hWnd);
        if (dc)
            if (const auto count = ColourCount(GetDeviceCaps(dc.get(), PLANES), GetDeviceCaps(dc.get(), BITSPIXEL)))
                colours = GroupDigits(*count);
    }
    set(IDC_ABOUT_COLORS, LoadText(IDS_INFO_COLOR) + colours + LoadText(IDS_INFO_COLORS));
}
