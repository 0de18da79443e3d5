// The plug-in file as Windows XP SP3's loader sees it: every import exported by XP's own DLLs or the
// host API, and no header field that XP refuses. Wine exports every function it knows, so loading
// the plug-in here proves nothing about XP; these checks read the file itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "plugin/zvkplugin.h"
#include "ui/resource.h"

namespace {

struct Import
{
    std::string dll;    // in lower case: the loader compares DLL names without case
    std::string name;   // empty when imported by ordinal
    WORD ordinal;

    bool operator==(const Import& other) const
    {
        return dll == other.dll && name == other.name && ordinal == other.ordinal;
    }
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

// A PE32 image read from disk; addresses inside it (RVAs) are found through its section table.
// Every read is bounded by the file, so a damaged file fails the checks instead of the program.
class PeFile
{
public:
    explicit PeFile(const char* path)
    {
        std::ifstream in(path, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const IMAGE_DOS_HEADER* dos = At<IMAGE_DOS_HEADER>(0);
        if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE)
            return;
        const IMAGE_NT_HEADERS32* nt = At<IMAGE_NT_HEADERS32>(dos->e_lfanew);
        if (!nt || nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC)
            return;
        size_t sections = dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader;
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
        {
            const IMAGE_SECTION_HEADER* section = At<IMAGE_SECTION_HEADER>(sections + i * sizeof(IMAGE_SECTION_HEADER));
            if (!section)
                return;
            m_sections.push_back(*section);
        }
        m_nt = nt;
    }

    bool IsValid() const { return m_nt != NULL; }
    size_t Size() const { return m_bytes.size(); }
    const IMAGE_FILE_HEADER& FileHeader() const { return m_nt->FileHeader; }
    const IMAGE_OPTIONAL_HEADER32& OptionalHeader() const { return m_nt->OptionalHeader; }
    const IMAGE_DATA_DIRECTORY& Directory(int index) const { return m_nt->OptionalHeader.DataDirectory[index]; }
    const std::vector<IMAGE_SECTION_HEADER>& Sections() const { return m_sections; }

    // A name longer than eight characters (.eh_frame, .debug_info) is written as "/<offset>" into
    // the string table that follows the symbol table.
    std::string SectionName(const IMAGE_SECTION_HEADER& section) const
    {
        std::string name((const char*)section.Name, strnlen((const char*)section.Name, IMAGE_SIZEOF_SHORT_NAME));
        if (name.empty() || name[0] != '/')
            return name;
        size_t offset = FileHeader().PointerToSymbolTable + FileHeader().NumberOfSymbols * (size_t)IMAGE_SIZEOF_SYMBOL
                      + strtoul(name.c_str() + 1, NULL, 10);
        std::string longName;
        while (offset < m_bytes.size() && m_bytes[offset] != 0)
            longName += m_bytes[offset++];
        return longName;
    }

    template <class T> const T* AtRva(DWORD rva) const { return At<T>(Offset(rva)); }

    std::string StringAtRva(DWORD rva) const
    {
        size_t offset = Offset(rva);
        std::string text;
        while (offset < m_bytes.size() && m_bytes[offset] != 0)
            text += m_bytes[offset++];
        return text;
    }

    std::vector<Import> Imports() const
    {
        std::vector<Import> imports;
        DWORD at = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress;
        for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR))
        {
            const IMAGE_IMPORT_DESCRIPTOR* descriptor = AtRva<IMAGE_IMPORT_DESCRIPTOR>(at);
            if (!descriptor || descriptor->Name == 0)
                break;
            std::string dll = Lower(StringAtRva(descriptor->Name));
            DWORD thunks = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
            for (;; thunks += sizeof(DWORD))
            {
                const DWORD* thunk = AtRva<DWORD>(thunks);
                if (!thunk || *thunk == 0)
                    break;
                if (*thunk & IMAGE_ORDINAL_FLAG32)
                    imports.push_back({ dll, "", (WORD)(*thunk & 0xFFFF) });
                else
                    imports.push_back({ dll, StringAtRva(*thunk + offsetof(IMAGE_IMPORT_BY_NAME, Name)), 0 });
            }
        }
        return imports;
    }

private:
    static const size_t NOWHERE = (size_t)-1;

    template <class T> const T* At(size_t offset) const
    {
        if (offset > m_bytes.size() || sizeof(T) > m_bytes.size() - offset)
            return NULL;
        return (const T*)&m_bytes[offset];
    }

    size_t Offset(DWORD rva) const
    {
        if (rva < m_nt->OptionalHeader.SizeOfHeaders)
            return rva;
        for (const IMAGE_SECTION_HEADER& section : m_sections)
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData)
                return section.PointerToRawData + (rva - section.VirtualAddress);
        return NOWHERE;
    }

    std::vector<char> m_bytes;
    std::vector<IMAGE_SECTION_HEADER> m_sections;
    const IMAGE_NT_HEADERS32* m_nt = NULL;
};

typedef std::set<std::pair<std::string, std::string>> AllowList;

// tests/xp-imports.txt: a DLL name and a function name per line, '#' starts a note.
AllowList ReadAllowList()
{
    AllowList allowed;
    std::ifstream in(ZVK_XP_IMPORTS);
    for (std::string line; std::getline(in, line);)
    {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string dll, name;
        if (fields >> dll >> name)
            allowed.insert({ Lower(dll), name });
    }
    return allowed;
}

// host/zvkapi.def: the names after EXPORTS, one a line.
std::set<std::string> ReadHostApi()
{
    std::set<std::string> names;
    std::ifstream in(ZVK_HOST_API_DEF);
    bool exports = false;
    for (std::string line; std::getline(in, line);)
    {
        std::istringstream fields(line.substr(0, line.find(';')));
        std::string name;
        if (!(fields >> name))
            continue;
        if (exports)
            names.insert(name.substr(0, name.find_first_of("@=")));
        else
            exports = name == "EXPORTS";
    }
    return names;
}

std::string Describe(const Import& import)
{
    return import.dll + "!" + (import.name.empty() ? "#" + std::to_string(import.ordinal) : import.name);
}

const PeFile& BuiltPlugin()
{
    static const PeFile file(ZVK_PLUGIN);
    return file;
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// Imports

TEST(PluginImports, AreInTheXpAllowListOrTheHostApiAndByName)
{
    ASSERT_TRUE(BuiltPlugin().IsValid()) << ZVK_PLUGIN << " is missing or not a PE32 image";
    const AllowList allowed = ReadAllowList();
    const std::set<std::string> hostApi = ReadHostApi();
    ASSERT_FALSE(allowed.empty()) << "no allow-list at " << ZVK_XP_IMPORTS;
    ASSERT_FALSE(hostApi.empty()) << "no host API at " << ZVK_HOST_API_DEF;

    const std::vector<Import> imports = BuiltPlugin().Imports();
    ASSERT_FALSE(imports.empty());
    bool importsHostApi = false;
    for (const Import& import : imports)
    {
        // Ordinals of system DLLs differ between Windows versions; only names are stable.
        EXPECT_FALSE(import.name.empty()) << Describe(import) << " is imported by ordinal";
        if (import.dll == "zvkapi.dll")
        {
            importsHostApi = true;
            EXPECT_TRUE(hostApi.count(import.name)) << Describe(import) << " is not declared in host/zvkapi.def";
        }
        else
        {
            EXPECT_TRUE(allowed.count({ import.dll, import.name }))
                << Describe(import) << " is not in tests/xp-imports.txt: check that Windows XP SP3 exports it before adding it";
        }
    }
    EXPECT_TRUE(importsHostApi) << "the plug-in does not import the host API";
}

// A short list of the usual post-XP suspects: neither the plug-in nor the allow-list may name one,
// so that silencing the test above by listing such a function fails here.
TEST(PluginImports, NameNoFunctionThatCameWithVistaOrLater)
{
    static const char* const s_vistaOrLater[] = {
        "GetTickCount64", "InitializeConditionVariable", "SleepConditionVariableCS", "SleepConditionVariableSRW",
        "WakeConditionVariable", "WakeAllConditionVariable", "InitializeSRWLock", "AcquireSRWLockExclusive",
        "AcquireSRWLockShared", "ReleaseSRWLockExclusive", "ReleaseSRWLockShared", "TryAcquireSRWLockExclusive",
        "InitOnceExecuteOnce", "InitOnceBeginInitialize", "InitOnceComplete", "InitializeCriticalSectionEx",
        "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue", "CreateEventExA", "CreateEventExW",
        "CreateMutexExA", "CreateMutexExW", "CreateSemaphoreExA", "CreateSemaphoreExW", "GetErrorMode",
        "GetThreadId", "GetProcessId", "GetCurrentProcessorNumber", "SetThreadStackGuarantee",
        "GetFileInformationByHandleEx", "SetFileInformationByHandle", "GetFinalPathNameByHandleA",
        "GetFinalPathNameByHandleW", "QueryFullProcessImageNameA", "QueryFullProcessImageNameW",
        "GetLocaleInfoEx", "LCMapStringEx", "CompareStringEx", "GetUserDefaultLocaleName",
        "GetSystemTimePreciseAsFileTime", "GetDpiForWindow", "SetProcessDPIAware",
    };
    std::set<std::string> named;
    for (const auto& entry : ReadAllowList())
        named.insert(entry.second);
    for (const Import& import : BuiltPlugin().Imports())
        named.insert(import.name);
    for (const char* name : s_vistaOrLater)
        EXPECT_FALSE(named.count(name)) << name << " came with Windows Vista or later: the plug-in would not load on XP";
}

/////////////////////////////////////////////////////////////////////////////
// Header fields

TEST(PluginHeaders, NothingKeepsWindowsXpFromLoadingIt)
{
    const PeFile& file = BuiltPlugin();
    ASSERT_TRUE(file.IsValid()) << ZVK_PLUGIN << " is missing or not a PE32 image";
    const IMAGE_OPTIONAL_HEADER32& optional = file.OptionalHeader();
    const LONG XP = MAKELONG(1, 5);

    const IMAGE_DATA_DIRECTORY& tls = file.Directory(IMAGE_DIRECTORY_ENTRY_TLS);
    const IMAGE_TLS_DIRECTORY32* tlsDirectory = file.AtRva<IMAGE_TLS_DIRECTORY32>(tls.VirtualAddress);
    DWORD tlsTemplate = tlsDirectory ? tlsDirectory->EndAddressOfRawData - tlsDirectory->StartAddressOfRawData
                                           + tlsDirectory->SizeOfZeroFill
                                     : 0;

    struct Check
    {
        const char* what;
        bool holds;
    };
    const Check checks[] = {
        { "machine is i386", file.FileHeader().Machine == IMAGE_FILE_MACHINE_I386 },
        { "operating system version at most 5.1 (XP)",
          MAKELONG(optional.MinorOperatingSystemVersion, optional.MajorOperatingSystemVersion) <= XP },
        { "subsystem version at most 5.1 (XP)",
          MAKELONG(optional.MinorSubsystemVersion, optional.MajorSubsystemVersion) <= XP },
        // XP has no address-space randomisation to find another place: without relocations the
        // plug-in fails to load whenever another DLL already sits at its preferred base.
        { "base relocations present", file.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC).Size > 0 },
        // Imports loaded late would escape the allow-list.
        { "no delay-load imports", file.Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size == 0 },
        // XP gives a DLL loaded with LoadLibrary no slot for static thread-local data: a variable in
        // the TLS template would share another module's slot. thread_local is emulated (TlsAlloc at
        // run time), so the template holds only the runtime's two end markers.
        { "TLS directory readable when present", tls.Size == 0 || tlsDirectory != NULL },
        { "no static thread-local data", tlsTemplate <= 2 * sizeof(DWORD) },
    };
    for (const Check& check : checks)
        EXPECT_TRUE(check.holds) << check.what;
}

/////////////////////////////////////////////////////////////////////////////
// The released file: what the install copies into the host

TEST(ReleasedPlugin, IsTheBuiltPluginWithoutItsSymbolsAndStillLoads)
{
    const PeFile released(ZVK_RELEASED_PLUGIN);
    ASSERT_TRUE(released.IsValid()) << ZVK_RELEASED_PLUGIN << " is missing or not a PE32 image";
    ASSERT_TRUE(BuiltPlugin().IsValid());
    EXPECT_TRUE(released.Imports() == BuiltPlugin().Imports());
    std::cout << "ZVK-FIGURE released plug-in size: " << released.Size() << " bytes (built with symbols: "
              << BuiltPlugin().Size() << " bytes)" << std::endl;

    std::vector<std::string> debugSections;
    for (const IMAGE_SECTION_HEADER& section : released.Sections())
        if (released.SectionName(section).compare(0, 6, ".debug") == 0)
            debugSections.push_back(released.SectionName(section));
    if (ZVK_RELEASE_KEEPS_SYMBOLS)
    {
        EXPECT_GT(released.FileHeader().NumberOfSymbols, 0u) << "a Debug build keeps its symbols";
    }
    else
    {
        EXPECT_EQ(0u, released.FileHeader().NumberOfSymbols);
        EXPECT_TRUE(debugSections.empty()) << debugSections.size() << " debugging sections, the first " << debugSections[0];
    }

    HMODULE module = LoadLibraryA(ZVK_RELEASED_PLUGIN);
    ASSERT_TRUE(module != NULL) << "error " << GetLastError();
    ZvkGetVersionProc getVersion = (ZvkGetVersionProc)GetProcAddress(module, "zvkGetVersion");
    EXPECT_TRUE(getVersion != NULL && getVersion() == 660);
    EXPECT_TRUE(FindResourceA(module, MAKEINTRESOURCEA(IDB_PLUGIN_BUTTON), (LPCSTR)RT_BITMAP) != NULL) << "the button bitmap";
    FreeLibrary(module);
}
