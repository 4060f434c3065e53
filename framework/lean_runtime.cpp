// Replacements for two parts of the C++ runtime, linked into the two shipped programs
// only (qlbar.exe and qlgroup.exe), that keep their 32-bit executables small.
//
// The launcher catches exceptions in one kind of place only: its window and dialog
// procedures, with catch (...), so that nothing unwinds through the system's frames; the
// group tool catches none. What type an exception has therefore changes nothing in what
// either program does.
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

namespace {

// What the library's string and container checks throw: a fault in the program, not in
// its input. It carries the library's own message.
class RuntimeCheckFailed : public std::exception {
public:
    explicit RuntimeCheckFailed(const char* what) noexcept : m_what(what) {}
    const char* what() const noexcept override { return m_what; }

private:
    const char* m_what;
};

}  // namespace

// The library's helpers throw std::length_error, std::logic_error, std::out_of_range and
// std::invalid_argument, whose message strings bring a second string implementation and
// every other standard exception class along (some 50 KB). These throw the same events
// without them.
namespace std {

void __throw_bad_alloc()
{
    throw bad_alloc();
}

void __throw_bad_array_new_length()
{
    throw bad_array_new_length();
}

// A string or array that long cannot be allocated.
void __throw_length_error(const char*)
{
    throw bad_alloc();
}

void __throw_logic_error(const char* what)
{
    throw RuntimeCheckFailed(what);
}

void __throw_out_of_range_fmt(const char* format, ...)
{
    throw RuntimeCheckFailed(format);
}

void __throw_out_of_range(const char* what)
{
    throw RuntimeCheckFailed(what);
}

void __throw_invalid_argument(const char* what)
{
    throw RuntimeCheckFailed(what);
}

}  // namespace std

// The default handler for an exception that nothing catches reports it on the standard
// error stream, which a windowed program does not have, and brings a name demangler along
// (some 45 KB). This one ends the program the same way, without the report.
namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx
