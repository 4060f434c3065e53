// Moving the settings between the members of CLaunchApp and the settings file.
#include "app/launch_app.h"
#include "app/settings_scan.h"
#include "buttonbar/visibility_policy.h"
#include "resource.h"

namespace {

constexpr int kDefaultTopMost = 1;
constexpr int kDefaultGroup = 0;
constexpr int kDefaultMax = 99;
constexpr int kDefaultStopSaver = 1;
constexpr int kValueBufferSize = 256;

class SettingsFile {
public:
    explicit SettingsFile(const CLaunchApp& app)
        : m_app(app), m_section(app.LoadResString(IDS_APPNAME)), m_file(app.ProfileName())
    {
    }

    int ReadInt(UINT keyId, int defaultValue) const
    {
        // The platform's reading of text that is no number (or too large) is kept as it is.
        return static_cast<int>(GetPrivateProfileIntA(m_section.c_str(), m_app.LoadResString(keyId).c_str(),
                                                      defaultValue, m_file.c_str()));
    }

    std::string ReadText(UINT keyId, UINT defaultId) const
    {
        char buffer[kValueBufferSize] = {};
        GetPrivateProfileStringA(m_section.c_str(), m_app.LoadResString(keyId).c_str(),
                                 m_app.LoadResString(defaultId).c_str(), buffer, sizeof buffer, m_file.c_str());
        return buffer;
    }

    void WriteText(UINT keyId, const char* value) const
    {
        WritePrivateProfileStringA(m_section.c_str(), m_app.LoadResString(keyId).c_str(), value, m_file.c_str());
    }

    void WriteInt(UINT keyId, int value) const
    {
        char buffer[kValueBufferSize];
        wsprintfA(buffer, "%d", value);
        WriteText(keyId, buffer);
    }

private:
    const CLaunchApp& m_app;
    std::string m_section;
    std::string m_file;
};

// A saved place on a monitor that has since gone would leave the window out of reach:
// one that lies on no monitor is moved, whole, onto the nearest monitor's work area.
void BringOntoAMonitor(RECT& rc)
{
    // An empty rectangle touches no monitor; its corner says where it is.
    const bool empty = rc.right <= rc.left || rc.bottom <= rc.top;
    const POINT corner = {rc.left, rc.top};
    auto monitor = [&](DWORD flags) { return empty ? MonitorFromPoint(corner, flags) : MonitorFromRect(&rc, flags); };
    if (monitor(MONITOR_DEFAULTTONULL))
        return;
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor(MONITOR_DEFAULTTONEAREST), &info))
        return;
    const RECT& work = info.rcWork;
    const IntRect moved = MoveInside({rc.left, rc.top, rc.right, rc.bottom}, {work.left, work.top, work.right, work.bottom});
    rc = {moved.left, moved.top, moved.right, moved.bottom};
}

}  // namespace

void CLaunchApp::LoadSettings()
{
    fw::WaitCursor wait;
    SettingsFile file(*this);

    m_bTopMost = file.ReadInt(IDS_KEY_TOPMOST, kDefaultTopMost);
    m_nPopupTitle = file.ReadInt(IDS_KEY_BUTTONTITLE, POPUPTITLE_ALWAYS);
    m_nGroup = file.ReadInt(IDS_KEY_GROUP, kDefaultGroup);

    ScanIntFields(file.ReadText(IDS_KEY_SIZE, IDS_DEFAULT_SIZE).c_str(), {&m_nButtonWidth, &m_nButtonHeight});

    // RECT holds LONGs: scan into ints that start at the current values, so that
    // fields not reached keep them.
    int window[4] = {static_cast<int>(m_rcWindow.left), static_cast<int>(m_rcWindow.top),
                     static_cast<int>(m_rcWindow.right), static_cast<int>(m_rcWindow.bottom)};
    int dropped = 0;  // an old fifth field, read and ignored
    ScanIntFields(file.ReadText(IDS_KEY_WINDOW, IDS_DEFAULT_WINDOW).c_str(),
                  {&window[0], &window[1], &window[2], &window[3], &dropped, &m_nPosition});
    m_rcWindow = {window[0], window[1], window[2], window[3]};

    int dialog[4] = {static_cast<int>(m_rcDialog.left), static_cast<int>(m_rcDialog.top),
                     static_cast<int>(m_rcDialog.right), static_cast<int>(m_rcDialog.bottom)};
    ScanIntFields(file.ReadText(IDS_KEY_DIALOG, IDS_DEFAULT_DIALOG).c_str(),
                  {&dialog[0], &dialog[1], &dialog[2], &dialog[3]});
    m_rcDialog = {dialog[0], dialog[1], dialog[2], dialog[3]};
    BringOntoAMonitor(m_rcWindow);
    // All zero: no place saved, the dialog is centred.
    if (m_rcDialog.left || m_rcDialog.top || m_rcDialog.right || m_rcDialog.bottom)
        BringOntoAMonitor(m_rcDialog);

    m_nMaxInLine = file.ReadInt(IDS_KEY_MAX, kDefaultMax);
    if (m_nMaxInLine <= 0)
        m_nMaxInLine = kDefaultMax;

    m_bStopSaver = file.ReadInt(IDS_KEY_STOPSAVER, kDefaultStopSaver);

    // Older files stored the popup mode as 0 or 1.
    m_nPopup = file.ReadInt(IDS_KEY_POPUP, POPUP_FIXED);
    if (m_nPopup == 0)
        m_nPopup = POPUP_FIXED;
    else if (m_nPopup == 1)
        m_nPopup = POPUP_POPUP;

    m_nTitle = file.ReadInt(IDS_KEY_TITLE, TITLE_VERTICAL);
}

void CLaunchApp::SaveSettings()
{
    fw::WaitCursor wait;
    SettingsFile file(*this);
    char buffer[kValueBufferSize];

    // The fifth field is no longer used; -1 marks it as such.
    wsprintfA(buffer, "%d,%d,%d,%d,%d,%d", static_cast<int>(m_rcWindow.left), static_cast<int>(m_rcWindow.top),
              static_cast<int>(m_rcWindow.right), static_cast<int>(m_rcWindow.bottom), -1, m_nPosition);
    file.WriteText(IDS_KEY_WINDOW, buffer);
    wsprintfA(buffer, "%d,%d,%d,%d", static_cast<int>(m_rcDialog.left), static_cast<int>(m_rcDialog.top),
              static_cast<int>(m_rcDialog.right), static_cast<int>(m_rcDialog.bottom));
    file.WriteText(IDS_KEY_DIALOG, buffer);

    file.WriteInt(IDS_KEY_TOPMOST, m_bTopMost);
    file.WriteInt(IDS_KEY_BUTTONTITLE, m_nPopupTitle);
    file.WriteInt(IDS_KEY_GROUP, m_nGroup);

    wsprintfA(buffer, "%d,%d", m_nButtonWidth, m_nButtonHeight);
    file.WriteText(IDS_KEY_SIZE, buffer);

    file.WriteInt(IDS_KEY_MAX, m_nMaxInLine);
    file.WriteInt(IDS_KEY_STOPSAVER, m_bStopSaver);
    file.WriteInt(IDS_KEY_POPUP, m_nPopup);
    file.WriteInt(IDS_KEY_TITLE, m_nTitle);
}
