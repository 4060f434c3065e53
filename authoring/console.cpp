#include "authoring/console.h"

#include <vector>

namespace authoring {

namespace {

void Write(DWORD which, const std::wstring& text)
{
    HANDLE handle = GetStdHandle(which);
    if (!handle || handle == INVALID_HANDLE_VALUE || text.empty())
        return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

std::wstring Text(UINT id)
{
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&resource), 0);
    return length > 0 && resource ? std::wstring(resource, static_cast<size_t>(length)) : std::wstring();
}

std::wstring Fill(UINT id, std::initializer_list<std::wstring> args)
{
    const std::wstring pattern = Text(id);
    std::wstring out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t n = i + 1 < pattern.size() ? static_cast<size_t>(pattern[i + 1] - L'1') : args.size();
        if (pattern[i] == L'%' && n < args.size()) {
            out += *(args.begin() + n);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void Say(UINT id, std::initializer_list<std::wstring> args)
{
    Write(STD_OUTPUT_HANDLE, Fill(id, args));
}

void Complain(UINT id, std::initializer_list<std::wstring> args)
{
    Write(STD_ERROR_HANDLE, Fill(id, args));
}

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], length);
    return out;
}

}  // namespace authoring
