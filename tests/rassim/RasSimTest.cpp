// The built simulator DLL, loaded from a copy in a folder of its own, driven through its exports.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "RasApi.h"

namespace {

constexpr UINT kRasDialEvent = 0xCCCD;
constexpr DWORD kInvalidParameter = 87;
constexpr DWORD kBufferTooSmall = 603;
constexpr DWORD kCannotFindEntry = 623;
constexpr DWORD kInvalidSize = 632;
// Comfortably above every scripted delay here, so a slow machine does not fail a test.
constexpr DWORD kPatienceMs = 3000;

using DialFn = decltype(&RasDialA);
using HangUpFn = decltype(&RasHangUpA);
using StatusFn = decltype(&RasGetConnectStatusA);
using EnumFn = decltype(&RasEnumEntriesA);
using ErrorStringFn = decltype(&RasGetErrorStringA);

struct SimulatorDll {
    std::string problem;
    std::string folder;
    HMODULE module = nullptr;
    DialFn dial = nullptr;
    HangUpFn hangUp = nullptr;
    StatusFn status = nullptr;
    EnumFn enumerate = nullptr;
    ErrorStringFn errorString = nullptr;

    bool Loaded() const { return problem.empty(); }
    std::string Path(const char* file) const { return folder + file; }
};

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return fn != nullptr;
}

// Wine loads its built-in DLL for a path to a native one unless told otherwise, and then
// reports the path it was given: only the image itself tells them apart.
bool IsImageOf(HMODULE module, const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> head(4096);
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    auto* fileDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(head.data());
    if (file.gcount() < static_cast<std::streamsize>(sizeof(IMAGE_DOS_HEADER)) || fileDos->e_lfanew <= 0 ||
        static_cast<size_t>(fileDos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > head.size())
        return false;
    auto* onDisk = reinterpret_cast<const IMAGE_NT_HEADERS*>(head.data() + fileDos->e_lfanew);
    auto* base = reinterpret_cast<const char*>(module);
    auto* inMemory =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    return onDisk->FileHeader.TimeDateStamp == inMemory->FileHeader.TimeDateStamp &&
           onDisk->OptionalHeader.SizeOfImage == inMemory->OptionalHeader.SizeOfImage &&
           onDisk->OptionalHeader.AddressOfEntryPoint == inMemory->OptionalHeader.AddressOfEntryPoint;
}

// A copy in a folder of its own, so the script and the log beside it belong to this run only.
SimulatorDll LoadSimulator()
{
    SimulatorDll dll;
    std::string built = RASSIM_DLL;
    std::replace(built.begin(), built.end(), '/', '\\');
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    dll.folder = std::string(temp) + "rassim-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dll.folder.c_str(), nullptr);
    std::string copy = dll.Path("rasapi32.dll");
    if (!CopyFileA(built.c_str(), copy.c_str(), FALSE)) {
        dll.problem = "cannot copy " + built + " to " + copy;
        return dll;
    }
    dll.module = LoadLibraryA(copy.c_str());
    if (dll.module == nullptr) {
        dll.problem = "cannot load " + copy;
        return dll;
    }
    if (!IsImageOf(dll.module, copy)) {
        dll.problem = "Wine loaded its own rasapi32 instead of " + copy + " (is rasapi32=n overridden?)";
        return dll;
    }
    if (!Resolve(dll.module, "RasDialA", dll.dial) || !Resolve(dll.module, "RasHangUpA", dll.hangUp) ||
        !Resolve(dll.module, "RasGetConnectStatusA", dll.status) ||
        !Resolve(dll.module, "RasEnumEntriesA", dll.enumerate) ||
        !Resolve(dll.module, "RasGetErrorStringA", dll.errorString))
        dll.problem = "an export is missing";
    return dll;
}

const SimulatorDll& Sim()
{
    static const SimulatorDll dll = LoadSimulator();
    return dll;
}

class CleanUpSimulator : public ::testing::Environment {
public:
    void TearDown() override
    {
        const SimulatorDll& dll = Sim();
        if (dll.module != nullptr)
            FreeLibrary(dll.module);
        // A dial thread that still ends holds the DLL a moment longer; the prefix is thrown away anyway.
        for (const char* file : {"rassim.txt", "rassim.log", "rasapi32.dll"})
            DeleteFileA(dll.Path(file).c_str());
        RemoveDirectoryA(dll.folder.c_str());
    }
};
::testing::Environment* const cleanUp = ::testing::AddGlobalTestEnvironment(new CleanUpSimulator);

struct DialEvent {
    DWORD thread;
    UINT message;
    DWORD state;
    DWORD error;
};

// What the notifier received. The action runs before the report is recorded, so a test that
// sees the report also sees what the action did.
class Reports {
public:
    Reports() : m_changed(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

    void Reset(std::function<void(const DialEvent&)> action = nullptr)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_events.clear();
        m_action = std::move(action);
    }

    void Add(const DialEvent& event)
    {
        std::function<void(const DialEvent&)> action;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            action = m_action;
        }
        if (action)
            action(event);
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_events.push_back(event);
        }
        SetEvent(m_changed);
    }

    std::vector<DialEvent> Events()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_events;
    }

    std::vector<std::pair<DWORD, DWORD>> StatesAndErrors()
    {
        std::vector<std::pair<DWORD, DWORD>> pairs;
        for (const DialEvent& event : Events())
            pairs.emplace_back(event.state, event.error);
        return pairs;
    }

    bool WaitForCount(size_t count, DWORD timeoutMs = kPatienceMs)
    {
        return WaitUntil([count](const std::vector<DialEvent>& events) { return events.size() >= count; }, timeoutMs);
    }

    bool WaitForState(DWORD state, DWORD timeoutMs = kPatienceMs)
    {
        return WaitUntil(
            [state](const std::vector<DialEvent>& events) {
                return std::any_of(events.begin(), events.end(),
                                   [state](const DialEvent& event) { return event.state == state; });
            },
            timeoutMs);
    }

private:
    bool WaitUntil(const std::function<bool(const std::vector<DialEvent>&)>& done, DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        for (int round = 0; round < 1000; ++round) {
            if (done(Events()))
                return true;
            DWORD spent = GetTickCount() - start;
            if (spent >= timeoutMs)
                break;
            WaitForSingleObject(m_changed, timeoutMs - spent);
        }
        return done(Events());
    }

    HANDLE m_changed;
    std::mutex m_lock;
    std::vector<DialEvent> m_events;
    std::function<void(const DialEvent&)> m_action;
};

Reports g_reports;

void WINAPI OnDialEvent(UINT message, DWORD state, DWORD error)
{
    g_reports.Add(DialEvent{GetCurrentThreadId(), message, state, error});
}

using Pairs = std::vector<std::pair<DWORD, DWORD>>;

class RasSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Sim().Loaded()) << Sim().problem;
        DeleteFileA(Sim().Path("rassim.txt").c_str());
        DeleteFileA(Sim().Path("rassim.log").c_str());
        g_reports.Reset();
    }

    // No dial of one test goes on reporting into the next.
    void TearDown() override
    {
        if (!Sim().Loaded())
            return;
        for (HANDLE handle : m_opened)
            Sim().hangUp(handle);
        g_reports.Reset();
    }

    static void WriteScript(const std::string& text)
    {
        std::ofstream file(Sim().Path("rassim.txt"), std::ios::binary | std::ios::trunc);
        file << text;
    }

    static std::vector<std::string> LogLines()
    {
        std::ifstream file(Sim().Path("rassim.log"), std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(file, line))
            lines.push_back(line);
        return lines;
    }

    static bool Logged(const std::string& text)
    {
        for (const std::string& line : LogLines()) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

    static std::string HandleText(HANDLE handle)
    {
        char text[16];
        std::snprintf(text, sizeof(text), "0x%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(handle)));
        return text;
    }

    DWORD Dial(const char* entry, HANDLE& handle, const char* user = "Username", const char* password = "Kelmabot",
               DWORD size = sizeof(RasDialParams1052))
    {
        // Room for the later, larger forms of the record.
        std::vector<char> record(1100, '\0');
        auto* params = reinterpret_cast<RasDialParams1052*>(record.data());
        params->dwSize = size;
        lstrcpynA(params->szEntryName, entry, sizeof(params->szEntryName));
        lstrcpynA(params->szUserName, user, sizeof(params->szUserName));
        lstrcpynA(params->szPassword, password, sizeof(params->szPassword));
        handle = reinterpret_cast<HANDLE>(0x1);
        DWORD result = Sim().dial(nullptr, nullptr, params, 0, reinterpret_cast<void*>(&OnDialEvent), &handle);
        if (handle != nullptr)
            m_opened.push_back(handle);
        return result;
    }

    static DWORD Status(HANDLE handle, DWORD& state, DWORD& error)
    {
        RasConnStatus160 status;
        std::memset(&status, 0x5A, sizeof(status));
        status.dwSize = sizeof(status);
        DWORD result = Sim().status(handle, &status);
        state = status.rasconnstate;
        error = status.dwError;
        return result;
    }

    std::vector<HANDLE> m_opened;
};

// ---- Phone book

struct EnumCase {
    const char* what;
    const char* script; // nullptr: no file
    DWORD recordSize;
    DWORD records; // 0: no buffer at all
    DWORD result;
    DWORD bytes; // a failure leaves the given size
    DWORD count; // a failure leaves 9999
    std::vector<std::string> names;
};

TEST_F(RasSim, EnumerationAnswersEveryBufferSize)
{
    const char* three = "# test phone book\r\nentry Ringwell\r\nentry \"Office Line\" dial_ms=10\r\nentry Backup\r\n";
    const std::vector<std::string> threeNames{"Ringwell", "Office Line", "Backup"};
    const EnumCase cases[] = {
        {"host's probe of three", three, 264, 1, kBufferTooSmall, 792, 3, {}},
        {"two records for three", three, 264, 2, kBufferTooSmall, 792, 3, {}},
        {"no buffer", three, 264, 0, kBufferTooSmall, 792, 3, {}},
        {"exact buffer", three, 264, 3, 0, 792, 3, threeNames},
        {"larger buffer", three, 264, 5, 0, 792, 3, threeNames},
        {"later record form", three, 532, 3, 0, 1596, 3, threeNames},
        {"later form, too small", three, 532, 2, kBufferTooSmall, 1596, 3, {}},
        {"host's probe of one", "entry Ringwell", 264, 1, 0, 264, 1, {"Ringwell"}},
        {"wrong record size", three, 260, 3, kInvalidSize, 780, 9999, {}},
        {"empty file", "", 264, 1, 0, 0, 0, {}},
        {"comments only", "# none\n\n", 264, 1, 0, 0, 0, {}},
        {"missing file", nullptr, 264, 1, 0, 0, 0, {}},
        {"missing file, no buffer", nullptr, 264, 0, 0, 0, 0, {}},
        {"scripted failure", "entry Ringwell\nenumerror 610", 264, 1, 610, 264, 9999, {}},
    };
    for (const EnumCase& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(Sim().Path("rassim.txt").c_str());
        if (c.script != nullptr)
            WriteScript(c.script);
        // One record more than offered, to see that nothing is written past the given size.
        std::vector<char> buffer(c.recordSize * (c.records + 1), '\x5A');
        auto* first = reinterpret_cast<RasEntryName264*>(buffer.data());
        first->dwSize = c.recordSize;
        DWORD bytes = c.recordSize * c.records;
        DWORD count = 9999;
        DWORD result = Sim().enumerate(nullptr, nullptr, c.records ? first : nullptr, &bytes, &count);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(count, c.count);
        // Without a buffer only the size field set above is not filler.
        size_t untouched = c.records ? c.recordSize * c.records : sizeof(DWORD);
        EXPECT_EQ(std::count(buffer.begin() + untouched, buffer.end(), '\x5A'),
                  static_cast<std::ptrdiff_t>(buffer.size() - untouched));
        if (result != 0)
            continue;
        std::vector<std::string> names;
        for (DWORD i = 0; i < count; ++i) {
            auto* record = reinterpret_cast<RasEntryName264*>(buffer.data() + i * c.recordSize);
            EXPECT_EQ(record->dwSize, c.recordSize);
            names.emplace_back(record->szEntryName);
        }
        EXPECT_EQ(names, c.names);
    }
}

TEST_F(RasSim, EnumerationRereadsTheScript)
{
    std::vector<RasEntryName264> records(4);
    auto list = [&records]() {
        records[0].dwSize = sizeof(RasEntryName264);
        DWORD bytes = sizeof(RasEntryName264) * records.size();
        DWORD count = 0;
        std::vector<std::string> names;
        EXPECT_EQ(Sim().enumerate(nullptr, nullptr, records.data(), &bytes, &count), 0u);
        for (DWORD i = 0; i < count && i < records.size(); ++i)
            names.emplace_back(records[i].szEntryName);
        return names;
    };
    WriteScript("entry Ringwell\n");
    EXPECT_EQ(list(), std::vector<std::string>{"Ringwell"});
    WriteScript("entry Backup\nentry Ringwell\n");
    EXPECT_EQ(list(), (std::vector<std::string>{"Backup", "Ringwell"}));
    DeleteFileA(Sim().Path("rassim.txt").c_str());
    EXPECT_EQ(list(), std::vector<std::string>{});
}

TEST_F(RasSim, EnumerationRejectsMissingCounters)
{
    WriteScript("entry Ringwell\n");
    RasEntryName264 record{};
    record.dwSize = sizeof(record);
    DWORD value = sizeof(record);
    EXPECT_EQ(Sim().enumerate(nullptr, nullptr, &record, nullptr, &value), kInvalidParameter);
    EXPECT_EQ(Sim().enumerate(nullptr, nullptr, &record, &value, nullptr), kInvalidParameter);
}

// ---- Dialling

TEST_F(RasSim, SuccessfulDialReportsProgressThenConnectedFromAnotherThread)
{
    WriteScript("entry Ringwell dial_ms=120 progress=0,1,2\n");
    HANDLE handle = nullptr;
    DWORD start = GetTickCount();
    ASSERT_EQ(Dial("Ringwell", handle), 0u);
    ASSERT_NE(handle, nullptr);
    ASSERT_TRUE(g_reports.WaitForState(kRasConnected));
    DWORD took = GetTickCount() - start;
    // The timer may fire a tick early.
    EXPECT_GE(took, 100u);
    EXPECT_EQ(g_reports.StatesAndErrors(), (Pairs{{0, 0}, {1, 0}, {2, 0}, {kRasConnected, 0}}));
    for (const DialEvent& event : g_reports.Events()) {
        EXPECT_NE(event.thread, GetCurrentThreadId());
        EXPECT_EQ(event.message, kRasDialEvent);
    }

    RasConnStatus160 status;
    std::memset(&status, 0x5A, sizeof(status));
    status.dwSize = sizeof(status);
    ASSERT_EQ(Sim().status(handle, &status), 0u);
    EXPECT_EQ(status.dwSize, sizeof(status));
    EXPECT_EQ(status.rasconnstate, kRasConnected);
    EXPECT_EQ(status.dwError, 0u);
    EXPECT_GT(strnlen(status.szDeviceType, sizeof(status.szDeviceType)), 0u);
    EXPECT_LT(strnlen(status.szDeviceName, sizeof(status.szDeviceName)), sizeof(status.szDeviceName));

    EXPECT_EQ(Sim().hangUp(handle), 0u);
    DWORD state, error;
    EXPECT_EQ(Status(handle, state, error), kRasInvalidHandle);
    EXPECT_EQ(Sim().hangUp(handle), kRasInvalidHandle);

    EXPECT_TRUE(Logged("dial entry=Ringwell user=Username password=Kelmabot"));
    EXPECT_TRUE(Logged("hangup handle=" + HandleText(handle) + " result=0"));
    EXPECT_TRUE(Logged("hangup handle=" + HandleText(handle) + " result=6"));
}

TEST_F(RasSim, EachDialGetsItsOwnHandle)
{
    WriteScript("entry Ringwell dial_ms=0 progress=\nentry Backup dial_ms=0 progress=\n");
    HANDLE first = nullptr, second = nullptr;
    ASSERT_EQ(Dial("Ringwell", first), 0u);
    ASSERT_EQ(Dial("backup", second), 0u);
    EXPECT_NE(first, second);
    ASSERT_TRUE(g_reports.WaitForCount(2));
    EXPECT_EQ(Sim().hangUp(first), 0u);
    DWORD state, error;
    EXPECT_EQ(Status(second, state, error), 0u);
    EXPECT_EQ(state, kRasConnected);
    EXPECT_EQ(Sim().hangUp(second), 0u);
}

struct AsyncFailureCase {
    const char* what;
    const char* script;
    const char* user;
    const char* password;
    Pairs reports;
};

TEST_F(RasSim, ScriptedFailuresArriveThroughTheNotifier)
{
    const AsyncFailureCase cases[] = {
        {"no answer",
         "entry Ringwell dial_ms=40 progress=0,1 result=678",
         "Username",
         "Kelmabot",
         {{0, 0}, {1, 0}, {1, 678}}},
        {"failure in a given state",
         "entry Ringwell dial_ms=40 progress=0,1 result=680 fail_state=2",
         "Username",
         "Kelmabot",
         {{0, 0}, {1, 0}, {2, 680}}},
        {"failure before any progress",
         "entry Ringwell dial_ms=20 progress= result=676",
         "Username",
         "Kelmabot",
         {{0, 676}}},
        {"refused password",
         "entry Ringwell dial_ms=20 progress=5 password=Right",
         "Username",
         "Kelmabot",
         {{5, 0}, {5, 691}}},
        {"accepted credentials",
         "entry Ringwell dial_ms=20 progress=5 user=Username password=Kelmabot",
         "Username",
         "Kelmabot",
         {{5, 0}, {kRasConnected, 0}}},
    };
    for (const AsyncFailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        g_reports.Reset();
        WriteScript(c.script);
        HANDLE handle = nullptr;
        ASSERT_EQ(Dial("Ringwell", handle, c.user, c.password), 0u);
        ASSERT_TRUE(g_reports.WaitForCount(c.reports.size()));
        // Nothing more comes after the outcome.
        Sleep(40);
        EXPECT_EQ(g_reports.StatesAndErrors(), c.reports);
        DWORD state, error;
        EXPECT_EQ(Status(handle, state, error), 0u);
        EXPECT_EQ(state, c.reports.back().first);
        EXPECT_EQ(error, c.reports.back().second);
        EXPECT_EQ(Sim().hangUp(handle), 0u);
    }
}

struct ImmediateCase {
    const char* what;
    const char* script; // nullptr: no file
    const char* entry;
    DWORD size;
    DWORD result;
    bool handle;
};

TEST_F(RasSim, DialFailsAtOnceWhereTheLineSaysSo)
{
    const ImmediateCase cases[] = {
        {"unknown entry", "entry Ringwell", "Nowhere", 1052, kCannotFindEntry, false},
        {"empty entry name", "entry Ringwell", "", 1052, kCannotFindEntry, false},
        {"empty phone book", nullptr, "Ringwell", 1052, kCannotFindEntry, false},
        {"scripted", "entry Ringwell immediate_error=676", "Ringwell", 1052, 676, false},
        {"scripted with a handle", "entry Ringwell immediate_error=676 immediate_handle=1", "Ringwell", 1052, 676,
         true},
        {"wrong record size", "entry Ringwell", "Ringwell", 1056, kInvalidSize, false},
        {"later record form", "entry Ringwell dial_ms=0 progress=", "Ringwell", 1060, 0, true},
        {"latest record form", "entry Ringwell dial_ms=0 progress=", "Ringwell", 1064, 0, true},
    };
    for (const ImmediateCase& c : cases) {
        SCOPED_TRACE(c.what);
        g_reports.Reset();
        DeleteFileA(Sim().Path("rassim.txt").c_str());
        if (c.script != nullptr)
            WriteScript(c.script);
        HANDLE handle = nullptr;
        EXPECT_EQ(Dial(c.entry, handle, "Username", "Kelmabot", c.size), c.result);
        EXPECT_EQ(handle != nullptr, c.handle);
        if (c.result == 0) {
            EXPECT_TRUE(g_reports.WaitForState(kRasConnected));
        } else {
            Sleep(30);
            EXPECT_TRUE(g_reports.Events().empty());
        }
        EXPECT_TRUE(Logged("result=" + std::to_string(c.result)));
        if (c.handle) {
            EXPECT_EQ(Sim().hangUp(handle), 0u);
        }
    }
}

TEST_F(RasSim, DialRejectsWhatItCannotNotify)
{
    WriteScript("entry Ringwell dial_ms=0\n");
    RasDialParams1052 params{};
    params.dwSize = sizeof(params);
    lstrcpyA(params.szEntryName, "Ringwell");
    HANDLE handle = nullptr;
    auto notifier = reinterpret_cast<void*>(&OnDialEvent);
    EXPECT_EQ(Sim().dial(nullptr, nullptr, &params, 0, nullptr, &handle), kInvalidParameter);
    EXPECT_EQ(Sim().dial(nullptr, nullptr, &params, 1, notifier, &handle), kInvalidParameter);
    EXPECT_EQ(Sim().dial(nullptr, nullptr, nullptr, 0, notifier, &handle), kInvalidParameter);
    EXPECT_EQ(Sim().dial(nullptr, nullptr, &params, 0, notifier, nullptr), kInvalidParameter);
    EXPECT_EQ(handle, nullptr);
    Sleep(30);
    EXPECT_TRUE(g_reports.Events().empty());
}

// ---- An established line

struct DropCase {
    const char* what;
    const char* script;
    DWORD error;
    bool notified;
};

TEST_F(RasSim, LineDropsByItself)
{
    const DropCase cases[] = {
        {"with a notification", "entry Ringwell dial_ms=10 progress= drop_after_ms=60", 0, true},
        {"with an error", "entry Ringwell dial_ms=10 progress= drop_after_ms=60 drop_error=629", 629, true},
        {"seen by status only", "entry Ringwell dial_ms=10 progress= drop_after_ms=60 drop_notify=0 drop_error=629",
         629, false},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.what);
        g_reports.Reset();
        WriteScript(c.script);
        HANDLE handle = nullptr;
        ASSERT_EQ(Dial("Ringwell", handle), 0u);
        ASSERT_TRUE(g_reports.WaitForState(kRasConnected));
        DWORD state = 0, error = 0;
        ASSERT_EQ(Status(handle, state, error), 0u);
        EXPECT_EQ(state, kRasConnected);

        // Polled like the host does, only faster.
        DWORD start = GetTickCount();
        for (int i = 0; i < 150 && GetTickCount() - start < kPatienceMs; ++i) {
            ASSERT_EQ(Status(handle, state, error), 0u);
            if (state == kRasDisconnected)
                break;
            Sleep(20);
        }
        EXPECT_EQ(state, kRasDisconnected);
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(Logged("drop handle=" + HandleText(handle)));
        if (c.notified) {
            EXPECT_TRUE(g_reports.WaitForState(kRasDisconnected));
        } else {
            Sleep(30);
        }
        Pairs expected{{kRasConnected, 0}};
        if (c.notified)
            expected.emplace_back(kRasDisconnected, c.error);
        EXPECT_EQ(g_reports.StatesAndErrors(), expected);
        // The handle stays valid until the caller hangs it up.
        EXPECT_EQ(Sim().hangUp(handle), 0u);
        EXPECT_EQ(Sim().hangUp(handle), kRasInvalidHandle);
    }
}

struct LineErrorCase {
    const char* what;
    const char* script;
    DWORD status;
    DWORD hangUp;
};

TEST_F(RasSim, ScriptedStatusAndHangUpErrors)
{
    const LineErrorCase cases[] = {
        {"hang-up fails", "entry Ringwell dial_ms=0 progress= hangup_error=631", 0, 631},
        {"status fails", "entry Ringwell dial_ms=0 progress= status_error=617", 617, 0},
        {"both fail", "entry Ringwell dial_ms=0 progress= status_error=617 hangup_error=619", 617, 619},
    };
    for (const LineErrorCase& c : cases) {
        SCOPED_TRACE(c.what);
        g_reports.Reset();
        WriteScript(c.script);
        HANDLE handle = nullptr;
        ASSERT_EQ(Dial("Ringwell", handle), 0u);
        ASSERT_TRUE(g_reports.WaitForState(kRasConnected));
        DWORD state, error;
        EXPECT_EQ(Status(handle, state, error), c.status);
        EXPECT_EQ(Sim().hangUp(handle), c.hangUp);
        EXPECT_TRUE(Logged("hangup handle=" + HandleText(handle) + " result=" + std::to_string(c.hangUp)));
        // A failed hang-up still ends the line.
        EXPECT_EQ(Sim().hangUp(handle), kRasInvalidHandle);
        EXPECT_EQ(Status(handle, state, error), kRasInvalidHandle);
    }
}

TEST_F(RasSim, InvalidHandlesAndRecords)
{
    WriteScript("entry Ringwell dial_ms=0 progress=\n");
    HANDLE ended = nullptr;
    ASSERT_EQ(Dial("Ringwell", ended), 0u);
    ASSERT_EQ(Sim().hangUp(ended), 0u);
    for (HANDLE handle : {static_cast<HANDLE>(nullptr), reinterpret_cast<HANDLE>(0x1234), ended}) {
        SCOPED_TRACE(HandleText(handle));
        DWORD state, error;
        EXPECT_EQ(Sim().hangUp(handle), kRasInvalidHandle);
        EXPECT_EQ(Status(handle, state, error), kRasInvalidHandle);
    }

    HANDLE live = nullptr;
    ASSERT_EQ(Dial("Ringwell", live), 0u);
    RasConnStatus160 status{};
    for (DWORD size : {0u, 156u, 164u, 292u}) {
        status.dwSize = size;
        EXPECT_EQ(Sim().status(live, &status), kInvalidSize) << size;
    }
    EXPECT_EQ(Sim().status(live, nullptr), kInvalidParameter);
    std::vector<char> later(288, '\x5A');
    reinterpret_cast<RasConnStatus160*>(later.data())->dwSize = 288;
    EXPECT_EQ(Sim().status(live, reinterpret_cast<RasConnStatus160*>(later.data())), 0u);
    EXPECT_EQ(later.back(), '\0');
}

// ---- Error texts

struct ErrorTextCase {
    UINT code;
    DWORD size;
    DWORD result;
    const char* text; // nullptr: any text
};

TEST_F(RasSim, ErrorTextsFromTheScriptAndBuiltIn)
{
    WriteScript("errortext 691 Access  denied by the test\n"
                "notext 650\n"
                "notext 678\n"
                "errortext 700\n");
    const ErrorTextCase cases[] = {
        {691, 257, 0, "Access  denied by the test"},
        {691, 27, 0, "Access  denied by the test"},
        {691, 26, kBufferTooSmall, nullptr},
        {700, 257, 0, ""},
        {650, 257, kInvalidParameter, nullptr},
        {678, 257, kInvalidParameter, nullptr},
        {12345, 257, kInvalidParameter, nullptr},
        {676, 257, 0, nullptr},
        {623, 257, 0, nullptr},
        {676, 0, kInvalidParameter, nullptr},
    };
    for (const ErrorTextCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " in " + std::to_string(c.size));
        char text[300];
        std::memset(text, 'x', sizeof(text));
        EXPECT_EQ(Sim().errorString(c.code, text, c.size), c.result);
        if (c.result != 0)
            continue;
        ASSERT_NE(std::memchr(text, '\0', c.size), nullptr);
        if (c.text != nullptr) {
            EXPECT_STREQ(text, c.text);
        } else {
            EXPECT_GT(std::strlen(text), 5u);
        }
    }
    EXPECT_EQ(Sim().errorString(676, nullptr, 257), kInvalidParameter);
    EXPECT_TRUE(Logged("errorstring code=650 result=87"));
}

TEST_F(RasSim, ErrorTextsFollowScriptChanges)
{
    char text[257] = "";
    EXPECT_EQ(Sim().errorString(691, text, sizeof(text)), 0u);
    std::string builtIn = text;
    WriteScript("errortext 691 Scripted text\n");
    EXPECT_EQ(Sim().errorString(691, text, sizeof(text)), 0u);
    EXPECT_STREQ(text, "Scripted text");
    EXPECT_NE(builtIn, text);
    WriteScript("notext 691\n");
    EXPECT_EQ(Sim().errorString(691, text, sizeof(text)), kInvalidParameter);
}

// ---- The log

TEST_F(RasSim, LogHasOneLinePerCallInOrder)
{
    WriteScript("entry Ringwell dial_ms=0 progress=1\nentry \"Office Line\"\nbogus line\n");
    std::vector<RasEntryName264> records(2);
    records[0].dwSize = sizeof(RasEntryName264);
    DWORD bytes = sizeof(RasEntryName264) * 2, count = 0;
    ASSERT_EQ(Sim().enumerate(nullptr, nullptr, records.data(), &bytes, &count), 0u);
    HANDLE handle = nullptr;
    ASSERT_EQ(Dial("Ringwell", handle, "Some One", "pa\"ss"), 0u);
    ASSERT_TRUE(g_reports.WaitForState(kRasConnected));
    DWORD state, error;
    ASSERT_EQ(Status(handle, state, error), 0u);
    ASSERT_EQ(Sim().hangUp(handle), 0u);
    char text[257];
    Sim().errorString(691, text, sizeof(text));

    const std::string h = HandleText(handle);
    const std::vector<std::string> expected{
        "script line=3 problem=\"unknown directive bogus\"",
        "enum phonebook=- bytes=528 size=264 result=0 needed=528 count=2",
        "script line=3",
        "dial entry=Ringwell user=\"Some One\" password=\"pa\\\"ss\" phonebook=- notifier=0 size=1052 handle=" + h +
            " result=0",
        "notify handle=" + h + " state=1 error=0",
        "notify handle=" + h + " state=8192 error=0",
        "status handle=" + h + " result=0 state=8192 error=0",
        "hangup handle=" + h + " result=0",
        "script line=3",
        "errorstring code=691 result=0",
    };
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].compare(0, expected[i].size(), expected[i]), 0) << lines[i];
        EXPECT_NE(lines[i].find(" t="), std::string::npos) << lines[i];
    }
}

// ---- Re-entrant calls from the notification

constexpr DWORD kOnError = 0xFFFFFFFF;
constexpr UINT kForwardedEvent = WM_APP + 0x44;

// One dial run like the host runs it: the report is handled on a UI thread of its own, either
// carried there by SendMessage while the notifier waits, or on the notifier thread itself.
struct ReentryRun {
    DWORD hangUpAt; // a state, or kOnError
    bool viaWindow;

    HWND window = nullptr;
    HANDLE handle = nullptr;
    std::atomic<bool> done{false};
    DWORD dialResult = 0;
    DWORD hangUpResult = 0xDEAD;
    DWORD statusAfter = 0xDEAD;
    DWORD errorStringResult = 0xDEAD;

    ReentryRun(DWORD at, bool window) : hangUpAt(at), viaWindow(window) {}

    void Handle(DWORD state, DWORD error)
    {
        if (done || !(state == hangUpAt || (hangUpAt == kOnError && error != 0)))
            return;
        char text[257];
        errorStringResult = Sim().errorString(error != 0 ? error : 691, text, sizeof(text));
        hangUpResult = Sim().hangUp(handle);
        RasConnStatus160 status{};
        status.dwSize = sizeof(status);
        statusAfter = Sim().status(handle, &status);
        done = true;
    }
};

LRESULT CALLBACK ReentryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kForwardedEvent) {
        auto* run = reinterpret_cast<ReentryRun*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        run->Handle(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI ReentryUiThread(void* parameter)
{
    auto* run = static_cast<ReentryRun*>(parameter);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ReentryWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "RasSimReentry";
    RegisterClassA(&windowClass);
    run->window = CreateWindowExA(0, "RasSimReentry", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (run->window == nullptr)
        return 1;
    SetWindowLongPtrA(run->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(run));

    RasDialParams1052 params{};
    params.dwSize = sizeof(params);
    lstrcpyA(params.szEntryName, "Ringwell");
    run->dialResult = Sim().dial(nullptr, nullptr, &params, 0, reinterpret_cast<void*>(&OnDialEvent), &run->handle);

    // Pumps until the hang-up is done, then a little longer to take any late report.
    DWORD start = GetTickCount();
    DWORD doneAt = 0;
    for (int round = 0; round < 10000; ++round) {
        DWORD now = GetTickCount();
        if (now - start > kPatienceMs || (doneAt != 0 && now - doneAt > 120))
            break;
        if (doneAt == 0 && run->done)
            doneAt = now;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    DestroyWindow(run->window);
    return 0;
}

TEST_F(RasSim, HangUpFromInsideTheNotificationDoesNotDeadlock)
{
    const char* toConnect = "entry Ringwell dial_ms=40 progress=0,1 drop_after_ms=50";
    const char* toFail = "entry Ringwell dial_ms=40 progress=0,1 result=678";
    const char* toDrop = "entry Ringwell dial_ms=10 progress= drop_after_ms=30";
    struct Case {
        const char* what;
        const char* script;
        DWORD hangUpAt;
        Pairs reports;
    };
    const Case cases[] = {
        {"during progress", "entry Ringwell dial_ms=90 progress=0,1,2,3", 1, {{0, 0}, {1, 0}}},
        {"on connected", toConnect, kRasConnected, {{0, 0}, {1, 0}, {kRasConnected, 0}}},
        {"on a failure", toFail, kOnError, {{0, 0}, {1, 0}, {1, 678}}},
        {"on a drop", toDrop, kRasDisconnected, {{kRasConnected, 0}, {kRasDisconnected, 0}}},
    };
    for (bool viaWindow : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (viaWindow ? " via a window" : " on the notifier thread"));
            WriteScript(c.script);
            // Left behind if the run deadlocks, as its threads still point at it.
            auto* run = new ReentryRun(c.hangUpAt, viaWindow);
            g_reports.Reset([run](const DialEvent& event) {
                if (run->viaWindow)
                    SendMessageA(run->window, kForwardedEvent, event.state, event.error);
                else
                    run->Handle(event.state, event.error);
            });
            HANDLE thread = CreateThread(nullptr, 0, ReentryUiThread, run, 0, nullptr);
            ASSERT_NE(thread, nullptr);
            DWORD waited = WaitForSingleObject(thread, kPatienceMs + 2000);
            CloseHandle(thread);
            ASSERT_EQ(waited, WAIT_OBJECT_0) << "the UI thread is stuck";
            Pairs reports = g_reports.StatesAndErrors();
            g_reports.Reset();
            if (run->handle != nullptr)
                m_opened.push_back(run->handle);
            EXPECT_EQ(run->dialResult, 0u);
            EXPECT_TRUE(run->done);
            EXPECT_EQ(run->hangUpResult, 0u);
            EXPECT_EQ(run->statusAfter, kRasInvalidHandle);
            EXPECT_EQ(run->errorStringResult, 0u);
            EXPECT_EQ(reports, c.reports);
            delete run;
        }
    }
}

} // namespace
