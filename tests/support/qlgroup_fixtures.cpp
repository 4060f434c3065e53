#include "tests/support/qlgroup_fixtures.h"

#include "authoring/whole_file.h"
#include "tests/support/win_fixtures.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>

namespace testing_support {

namespace {

std::string ReadAll(const std::wstring& path)
{
    std::string out;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return out;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        out.append(buffer, read);
    CloseHandle(file);
    return out;
}

HANDLE InheritableFile(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void Append16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t value)
{
    Append16(out, static_cast<uint16_t>(value));
    Append16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace

std::string QlgroupPath()
{
    const char* exe = std::getenv("QLGROUP_EXE");
    return exe ? WinePathOf(exe) : std::string();
}

ToolRun RunQlgroup(const std::vector<std::wstring>& arguments)
{
    ToolRun run;
    const std::string exe = QlgroupPath();
    std::wstring command = L"\"" + std::wstring(exe.begin(), exe.end()) + L"\"";
    for (const std::wstring& argument : arguments)
        command += L" \"" + argument + L"\"";
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring outPath = std::wstring(temp) + L"qlgroup-test.out";
    const std::wstring errPath = std::wstring(temp) + L"qlgroup-test.err";
    HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadAll(outPath);
    run.err = ReadAll(errPath);
    DeleteFileW(outPath.c_str());
    DeleteFileW(errPath.c_str());
    return run;
}

bool MakeShortcut(const std::wstring& path, const ShortcutFields& shortcut)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    if (shortcut.shellItem >= 0) {
        PIDLIST_ABSOLUTE item = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, shortcut.shellItem, &item)))
            link->SetIDList(item);
        CoTaskMemFree(item);
    } else {
        link->SetPath(shortcut.target.c_str());
    }
    link->SetArguments(shortcut.arguments.c_str());
    link->SetWorkingDirectory(shortcut.directory.c_str());
    link->SetShowCmd(shortcut.showCommand);
    if (!shortcut.iconFile.empty())
        link->SetIconLocation(shortcut.iconFile.c_str(), shortcut.iconIndex);
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok) {
        ok = SUCCEEDED(file->Save(path.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

bool MakeAdvertisedShortcut(const std::wstring& path, const std::wstring& descriptor)
{
    constexpr uint32_t kHeaderSize = 0x4C;
    constexpr uint32_t kHasDarwinId = 0x1000, kIsUnicode = 0x80;
    static const uint8_t kLinkClass[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    // The header and nothing but the darwin block after it: no item list, no paths.
    std::vector<uint8_t> file;
    Append32(file, kHeaderSize);
    file.insert(file.end(), kLinkClass, kLinkClass + sizeof kLinkClass);
    Append32(file, kHasDarwinId | kIsUnicode);
    file.resize(kHeaderSize, 0);
    file[0x3C] = SW_SHOWNORMAL;
    EXP_DARWIN_LINK block = {};
    block.dbh.cbSize = sizeof block;
    block.dbh.dwSignature = EXP_DARWIN_ID_SIG;
    const std::string ansi(descriptor.begin(), descriptor.end());
    lstrcpynA(block.szDarwinID, ansi.c_str(), MAX_PATH);
    lstrcpynW(block.szwDarwinID, descriptor.c_str(), MAX_PATH);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&block);
    file.insert(file.end(), bytes, bytes + sizeof block);
    Append32(file, 0);  // the terminal block
    return WriteBytes(path, std::string(file.begin(), file.end()));
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    return authoring::WriteWholeFile(path, bytes.data(), bytes.size());
}

bool MakeFolders(const std::wstring& path)
{
    return SHCreateDirectoryExW(nullptr, path.c_str(), nullptr) == ERROR_SUCCESS ||
           GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void DeleteFolder(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteFolder(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

bool WriteIconFile(const std::wstring& path, const IconImage& icon)
{
    std::vector<uint8_t> image;
    Append32(image, 40);
    Append32(image, 32);
    Append32(image, 64);  // colour image and mask
    Append16(image, 1);
    Append16(image, icon.bitCount);
    for (int i = 0; i < 6; ++i)
        Append32(image, 0);
    for (uint32_t entry : icon.palette)
        Append32(image, entry);
    image.insert(image.end(), icon.bits.begin(), icon.bits.end());
    image.insert(image.end(), icon.mask.begin(), icon.mask.end());

    std::vector<uint8_t> file;
    Append16(file, 0);
    Append16(file, 1);  // an icon
    Append16(file, 1);  // one image
    file.push_back(32);
    file.push_back(32);
    file.push_back(static_cast<uint8_t>(icon.palette.size() < 256 ? icon.palette.size() : 0));
    file.push_back(0);
    Append16(file, 1);
    Append16(file, icon.bitCount);
    Append32(file, static_cast<uint32_t>(image.size()));
    Append32(file, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());

    return WriteBytes(path, std::string(file.begin(), file.end()));
}

std::vector<uint8_t> StoredRecord(HKEY root, const std::wstring& path, const std::wstring& name)
{
    std::vector<uint8_t> record;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, (path + L"\\" + name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return record;
    DWORD size = 0;
    if (RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0) {
        record.resize(size);
        if (RegQueryValueExW(key, nullptr, nullptr, nullptr, record.data(), &size) != ERROR_SUCCESS)
            record.clear();
        record.resize(size);
    }
    RegCloseKey(key);
    return record;
}

}  // namespace testing_support
