#include "launch/associations.h"

#include <cstring>

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

}  // namespace

AssociationWalk::AssociationWalk()
{
    // One handle serves the whole walk: the enumeration goes by index either way, and
    // a round trip to the registry per index is what thousands of classes cost most.
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_READ, &m_root) != ERROR_SUCCESS)
        m_root = nullptr;
}

AssociationWalk::~AssociationWalk()
{
    End();
}

bool AssociationWalk::Read(DWORD count, std::vector<std::string>& extensions, std::vector<std::string>& openCommands)
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

void AssociationWalk::End()
{
    if (m_root)
        RegCloseKey(m_root);
    m_root = nullptr;
}

void ReadToTheEnd(AssociationWalk& walk, std::vector<std::string>& extensions, std::vector<std::string>& openCommands)
{
    try {
        while (walk.Read(0xFFFFFFFF, extensions, openCommands)) {
        }
    } catch (...) {
        walk.End();
    }
}

namespace {

// A turn lasts about this long, short enough not to be noticed; it reads a few keys at a
// time until then.
constexpr double kTurnMs = 8.0;
constexpr DWORD kKeysPerStep = 8;

double NowMs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

bool ReadForATurn(AssociationWalk& walk, std::vector<std::string>& extensions, std::vector<std::string>& openCommands)
{
    bool more = true;
    try {
        const double start = NowMs();
        while (more && NowMs() - start < kTurnMs)
            more = walk.Read(kKeysPerStep, extensions, openCommands);
    } catch (...) {
        walk.End();
        more = false;
    }
    return more;
}
