// Moving the settings between the members of CLaunchApp and the settings file.
#include "app/launch_app.h"
#include "app/settings_scan.h"
#include "buttonbar/visibility_policy.h"
#include "framework/step_marks.h"
#include "framework/window.h"
#include "resource.h"

namespace {

constexpr int kDefaultTopMost = 1;
constexpr int kDefaultGroup = 0;
constexpr int kDefaultMax = 99;
constexpr int kDefaultStopSaver = 1;
constexpr int kDefaultAskImport = 1;
constexpr int kValueBufferSize = 256;

class SettingsFile {
public:
    SettingsFile(const CLaunchApp& app, const std::string& file)
        : m_app(app), m_section(app.LoadResString(IDS_APPNAME)), m_file(file)
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

    // FALSE, with the system's error kept, when the value could not be written.
    bool WriteText(UINT keyId, const char* value)
    {
        if (WritePrivateProfileStringA(m_section.c_str(), m_app.LoadResString(keyId).c_str(), value, m_file.c_str()))
            return true;
        m_error = GetLastError();
        return false;
    }

    bool WriteInt(UINT keyId, int value)
    {
        char buffer[kValueBufferSize];
        wsprintfA(buffer, "%d", value);
        return WriteText(keyId, buffer);
    }

    DWORD Error() const { return m_error; }

private:
    const CLaunchApp& m_app;
    std::string m_section;
    std::string m_file;
    DWORD m_error = 0;
};

bool IsFile(const std::string& path)
{
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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

void AddFailure(std::string& report, const std::string& path, DWORD error)
{
    char reason[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  reason, sizeof reason, nullptr);
    while (length > 0 && static_cast<unsigned char>(reason[length - 1]) <= ' ')
        --length;
    if (length == 0)
        length = static_cast<DWORD>(wsprintfA(reason, "%lu", static_cast<unsigned long>(error)));
    report += '\n';
    report += path;
    report += ": ";
    report.append(reason, length);
}

std::string CLaunchApp::UserSettingsFile() const
{
    // The environment is read rather than the shell asked: loading the shell library would
    // cost every start-up its time for a path that the variable holds.
    char folder[1024];  // room for a long name in UTF-8
    const DWORD length = GetEnvironmentVariableA("APPDATA", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return std::string();
    std::string path = folder;
    path += '\\';
    path += LoadResString(IDS_PRODUCT);
    path += '\\';
    path += ProfileName();
    return path;
}

void CLaunchApp::LoadSettings()
{
    fw::WaitCursor wait;
    QL_MARK_STEP("settings: wait cursor shown");
    // The user's file, once there is one, holds the later settings; a file in the
    // Windows directory, written earlier or by an administrator, serves until then.
    const std::string userFile = UserSettingsFile();
    SettingsFile file(*this, IsFile(userFile) ? userFile : ProfileName());

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
    QL_MARK_STEP("settings: files and six values read");
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
    m_bAskImport = file.ReadInt(IDS_KEY_ASKIMPORT, kDefaultAskImport);
    QL_MARK_STEP("settings: every value read");
}

bool CLaunchApp::WriteSettings(const std::string& fileName, DWORD& error) const
{
    // The fifth field of the window is no longer used; -1 marks it as such.
    char window[kValueBufferSize], dialog[kValueBufferSize], size[kValueBufferSize];
    wsprintfA(window, "%d,%d,%d,%d,%d,%d", static_cast<int>(m_rcWindow.left), static_cast<int>(m_rcWindow.top),
              static_cast<int>(m_rcWindow.right), static_cast<int>(m_rcWindow.bottom), -1, m_nPosition);
    wsprintfA(dialog, "%d,%d,%d,%d", static_cast<int>(m_rcDialog.left), static_cast<int>(m_rcDialog.top),
              static_cast<int>(m_rcDialog.right), static_cast<int>(m_rcDialog.bottom));
    wsprintfA(size, "%d,%d", m_nButtonWidth, m_nButtonHeight);
    const struct {
        UINT key;
        const char* text;  // or else the number
        int number;
    } values[] = {
        {IDS_KEY_WINDOW, window, 0},          {IDS_KEY_DIALOG, dialog, 0},
        {IDS_KEY_TOPMOST, nullptr, m_bTopMost}, {IDS_KEY_BUTTONTITLE, nullptr, m_nPopupTitle},
        {IDS_KEY_GROUP, nullptr, m_nGroup},   {IDS_KEY_SIZE, size, 0},
        {IDS_KEY_MAX, nullptr, m_nMaxInLine}, {IDS_KEY_STOPSAVER, nullptr, m_bStopSaver},
        {IDS_KEY_POPUP, nullptr, m_nPopup},   {IDS_KEY_TITLE, nullptr, m_nTitle},
        {IDS_KEY_ASKIMPORT, nullptr, m_bAskImport},
    };
    SettingsFile file(*this, fileName);
    // In this order, stopping at the first value that cannot be written: the caller then
    // writes them all elsewhere.
    for (const auto& value : values) {
        if (!(value.text ? file.WriteText(value.key, value.text) : file.WriteInt(value.key, value.number))) {
            error = file.Error();
            return false;
        }
    }
    return true;
}

void CLaunchApp::SaveSettings()
{
    fw::WaitCursor wait;
    // The Windows directory's file stays the settings file wherever it can be written.
    // Where it cannot (a standard user, since the manifest ends the redirection that
    // once hid this), everything goes to the user's file, which is read from then on.
    const std::string userFile = UserSettingsFile();
    std::string failures;
    DWORD error = 0;
    if (!IsFile(userFile)) {
        if (WriteSettings(ProfileName(), error))
            return;
        char directory[MAX_PATH] = {};
        GetWindowsDirectoryA(directory, MAX_PATH);
        std::string path = directory;
        path += '\\';
        path += ProfileName();
        AddFailure(failures, path, error);
    }
    if (!userFile.empty()) {
        CreateDirectoryA(userFile.substr(0, userFile.rfind('\\')).c_str(), nullptr);
        if (WriteSettings(userFile, error))
            return;
        AddFailure(failures, userFile, error);
    }
    // Said once a run: the exit saves more than once.
    if (m_bSaveFailureShown)
        return;
    m_bSaveFailureShown = true;
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    std::string text = LoadResString(IDS_SETTINGS_NOT_SAVED);
    text += '\n';
    text += failures;
    MessageBoxA(owner, text.c_str(), LoadResString(IDS_PRODUCT).c_str(), MB_OK | MB_ICONEXCLAMATION);
}
