#include "dialogs/system_facts.h"

#include "res/resource.h"

#include <limits>

namespace {

// Processor types and architectures as the system information reports them.
constexpr uint32_t PROCESSOR_INTEL_386 = 386;
constexpr uint32_t PROCESSOR_INTEL_486 = 486;
constexpr uint32_t PROCESSOR_INTEL_PENTIUM = 586;
constexpr uint32_t PROCESSOR_INTEL_860 = 860;
constexpr uint32_t PROCESSOR_MIPS_R2000 = 2000;
constexpr uint32_t PROCESSOR_MIPS_R3000 = 3000;
constexpr uint32_t PROCESSOR_MIPS_R4000 = 4000;
constexpr uint32_t PROCESSOR_ALPHA_21064 = 21064;
constexpr uint32_t PROCESSOR_INTEL_IA64 = 2200;
constexpr uint32_t PROCESSOR_AMD_X8664 = 8664;
constexpr uint32_t PROCESSOR_ARM720 = 1824;
constexpr uint32_t PROCESSOR_ARM820 = 2080;
constexpr uint32_t PROCESSOR_ARM920 = 2336;
constexpr uint32_t PROCESSOR_STRONGARM = 2577;
constexpr uint32_t PROCESSOR_ARM_7TDMI = 70001;

constexpr uint16_t PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr uint16_t PROCESSOR_ARCHITECTURE_ARM = 5;
constexpr uint16_t PROCESSOR_ARCHITECTURE_IA64 = 6;
constexpr uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr uint16_t PROCESSOR_ARCHITECTURE_IA32_ON_WIN64 = 10;
constexpr uint16_t PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr uint16_t PROCESSOR_ARCHITECTURE_ARM32_ON_WIN64 = 13;
constexpr uint16_t PROCESSOR_ARCHITECTURE_IA32_ON_ARM64 = 14;

unsigned NameOfType(uint32_t type)
{
    switch (type) {
    case PROCESSOR_INTEL_386: return IDS_CPU_80386;
    case PROCESSOR_INTEL_486: return IDS_CPU_80486;
    case PROCESSOR_INTEL_PENTIUM: return IDS_CPU_PENTIUM;
    case PROCESSOR_INTEL_860: return IDS_CPU_I860;
    case PROCESSOR_MIPS_R2000: return IDS_CPU_R2000;
    case PROCESSOR_MIPS_R3000: return IDS_CPU_R3000;
    case PROCESSOR_MIPS_R4000: return IDS_CPU_R4000;
    case PROCESSOR_ALPHA_21064: return IDS_CPU_21064;
    case PROCESSOR_INTEL_IA64: return IDS_CPU_IA64;
    case PROCESSOR_AMD_X8664: return IDS_CPU_X64;
    case PROCESSOR_ARM720:
    case PROCESSOR_ARM820:
    case PROCESSOR_ARM920:
    case PROCESSOR_STRONGARM:
    case PROCESSOR_ARM_7TDMI: return IDS_CPU_ARM;
    default: return 0;
    }
}

unsigned NameOfArchitecture(uint16_t architecture)
{
    switch (architecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
    case PROCESSOR_ARCHITECTURE_IA32_ON_WIN64:
    case PROCESSOR_ARCHITECTURE_IA32_ON_ARM64: return IDS_CPU_X86;
    case PROCESSOR_ARCHITECTURE_ARM:
    case PROCESSOR_ARCHITECTURE_ARM32_ON_WIN64: return IDS_CPU_ARM;
    case PROCESSOR_ARCHITECTURE_IA64: return IDS_CPU_IA64;
    case PROCESSOR_ARCHITECTURE_AMD64: return IDS_CPU_X64;
    case PROCESSOR_ARCHITECTURE_ARM64: return IDS_CPU_ARM64;
    default: return 0;
    }
}

}  // namespace

std::string GroupDigits(uint64_t value)
{
    const std::string digits = std::to_string(value);
    const size_t n = digits.size();
    std::string grouped;
    grouped.reserve(n + (n - 1) / 3);
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::optional<uint64_t> ColourCount(int planes, int bitsPerPixel)
{
    if (planes < 0 || bitsPerPixel < 0 || bitsPerPixel > 63)
        return std::nullopt;
    const uint64_t colours = uint64_t{1} << bitsPerPixel;
    if (planes != 0 && colours > std::numeric_limits<uint64_t>::max() / static_cast<uint64_t>(planes))
        return std::nullopt;
    return colours * static_cast<uint64_t>(planes);
}

unsigned ProcessorNameId(uint32_t processorType, uint16_t architecture)
{
    // The type cannot tell a 64-bit processor from its 32-bit forebear (ARM64 machines
    // report none at all), so these architectures name the processor themselves.
    if (architecture == PROCESSOR_ARCHITECTURE_AMD64 || architecture == PROCESSOR_ARCHITECTURE_ARM64 ||
        architecture == PROCESSOR_ARCHITECTURE_IA64)
        return NameOfArchitecture(architecture);
    if (const unsigned id = NameOfType(processorType))
        return id;
    return NameOfArchitecture(architecture);
}

std::string BuildStamp(const char* time, const char* date)
{
    return std::string(time ? time : "") + " on " + (date ? date : "");
}
