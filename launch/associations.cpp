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

// Reads the table from the registry into the two (emptied) lists.
void ReadAssociations(std::vector<std::string>& extensions, std::vector<std::string>& openCommands)
{
    extensions.clear();
    openCommands.clear();
    // One handle serves the whole walk: the enumeration goes by index either way, and a
    // round trip to the registry per index is what thousands of classes cost most.
    HKEY root = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_READ, &root) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        char name[kNameBufferSize] = {};
        DWORD length = kNameBufferSize;
        const LONG result = RegEnumKeyExA(root, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        // A name too long for the buffer is no extension; any other failure would
        // repeat at every later index.
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
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
        openCommands.push_back(command);
    }
    RegCloseKey(root);
}

}  // namespace

struct CLaunchApp::PendingAssociations {
    HANDLE thread = nullptr;
    std::vector<std::string> extensions;
    std::vector<std::string> openCommands;
};

namespace {

DWORD WINAPI ReadAssociationsThread(void* parameter)
{
    auto* pending = static_cast<CLaunchApp::PendingAssociations*>(parameter);
    try {
        ReadAssociations(pending->extensions, pending->openCommands);
    } catch (...) {
        // Out of memory: the table stays as far as it was read, as when the registry fails;
        // an extension whose command could not be added goes too.
        pending->extensions.resize(pending->openCommands.size());
    }
    return 0;
}

}  // namespace

void CLaunchApp::LoadAssociations()
{
    WaitForAssociations();
    ReadAssociations(m_extensions, m_openCommands);
}

void CLaunchApp::StartLoadingAssociations()
{
    WaitForAssociations();
    m_extensions.clear();
    m_openCommands.clear();
    auto pending = std::make_unique<PendingAssociations>();
    pending->thread = CreateThread(nullptr, 0, ReadAssociationsThread, pending.get(), 0, nullptr);
    if (!pending->thread) {
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
    WaitForSingleObject(pending->thread, INFINITE);
    CloseHandle(pending->thread);
    m_extensions = std::move(pending->extensions);
    m_openCommands = std::move(pending->openCommands);
}
