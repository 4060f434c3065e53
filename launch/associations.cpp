// The document association table of CLaunchApp, read from HKEY_CLASSES_ROOT: each
// extension key (".txt") names a file type whose shell\open\command opens it.
#include "app/launch_app.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr DWORD kNameBufferSize = 256;
const char kOpenCommand[] = "\\shell\\open\\command";

enum class DefaultValue { NoKey, Missing, Unusable, Text };

std::string Expanded(const std::string& text)
{
    const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0)
        return text;
    std::vector<char> buffer(size + 1, '\0');
    const DWORD written = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), size + 1);
    return written > 0 && written <= size + 1 ? std::string(buffer.data()) : text;
}

// The default value of HKEY_CLASSES_ROOT\path, read whole. An empty or non-text value
// is Unusable; REG_EXPAND_SZ text is expanded when asked.
DefaultValue ReadDefault(const std::string& path, bool expand, std::string& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return DefaultValue::NoKey;
    DWORD type = 0;
    // Nearly every value fits the first buffer and is read in one query; a longer one
    // reports its size and is read again with that (a few times, should it keep growing).
    std::vector<char> data(kNameBufferSize + 1, '\0');
    DWORD size = kNameBufferSize;
    LONG result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    for (int attempt = 0; result == ERROR_MORE_DATA && attempt < 3; ++attempt) {
        data.assign(size + 1, '\0');
        result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (result == ERROR_SUCCESS && size < data.size())
        data.resize(size);
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND)
        return DefaultValue::Missing;
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return DefaultValue::Unusable;
    text.assign(data.data(), strnlen(data.data(), data.size()));
    if (text.empty())
        return DefaultValue::Unusable;
    if (expand && type == REG_EXPAND_SZ)
        text = Expanded(text);
    return DefaultValue::Text;
}

// A walk over the class keys that can stop after any number of them and go on later.
class AssociationWalk {
public:
    AssociationWalk()
    {
        // One handle serves the whole walk: the enumeration goes by index either way, and
        // a round trip to the registry per index is what thousands of classes cost most.
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_READ, &m_root) != ERROR_SUCCESS)
            m_root = nullptr;
    }
    ~AssociationWalk()
    {
        if (m_root)
            RegCloseKey(m_root);
    }
    AssociationWalk(const AssociationWalk&) = delete;
    AssociationWalk& operator=(const AssociationWalk&) = delete;

    // Reads up to `count` more class keys into the lists; false once the walk has ended.
    bool Read(DWORD count, std::vector<std::string>& extensions, std::vector<std::string>& openCommands)
    {
        for (DWORD done = 0; m_root && done < count; ++done) {
            char name[kNameBufferSize] = {};
            DWORD length = kNameBufferSize;
            const LONG result = RegEnumKeyExA(m_root, m_index++, name, &length, nullptr, nullptr, nullptr, nullptr);
            // A name too long for the buffer is no extension; any other failure would
            // repeat at every later index.
            if (result == ERROR_MORE_DATA)
                continue;
            if (result != ERROR_SUCCESS) {
                End();
                break;
            }
            if (name[0] != '.')
                continue;
            const std::string key(name, length);

            // Without a type name the extension key is its own type key.
            std::string type;
            const DefaultValue typeValue = ReadDefault(key, false, type);
            if (typeValue == DefaultValue::NoKey)
                continue;
            if (typeValue != DefaultValue::Text)
                type = key;

            // A type that names no command opens nothing: no entry, rather than its type
            // name run as a program.
            std::string command;
            if (ReadDefault(type + kOpenCommand, true, command) != DefaultValue::Text)
                continue;
            extensions.push_back(key.substr(1));
            try {
                openCommands.push_back(command);
            } catch (...) {
                extensions.pop_back();  // no extension without its command
                throw;
            }
        }
        return m_root != nullptr;
    }

    void End()
    {
        if (m_root)
            RegCloseKey(m_root);
        m_root = nullptr;
    }

private:
    HKEY m_root = nullptr;
    DWORD m_index = 0;
};

// Reads the rest of a walk; out of memory, the table stays as far as it was read, as
// when the registry fails.
void ReadToTheEnd(AssociationWalk& walk, std::vector<std::string>& extensions, std::vector<std::string>& openCommands)
{
    try {
        while (walk.Read(0xFFFFFFFF, extensions, openCommands)) {
        }
    } catch (...) {
        walk.End();
    }
}

// A turn of the start-up's read lasts about this long, short enough not to be noticed; it
// reads a few keys at a time until then.
constexpr double kTurnMs = 8.0;
constexpr DWORD kKeysPerStep = 8;

double NowMs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

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
    bool more = true;
    try {
        const double start = NowMs();
        while (more && NowMs() - start < kTurnMs)
            more = pending->walk.Read(kKeysPerStep, pending->extensions, pending->openCommands);
    } catch (...) {
        pending->walk.End();
        more = false;
    }
    if (!more) {
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
