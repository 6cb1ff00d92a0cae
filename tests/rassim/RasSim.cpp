// The dial-up line simulator: RAS calls answered from rassim.txt beside this DLL, each call logged.
#include <winsock2.h>
#include <windows.h>
#include <raserror.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "Handles.h"
#include "LineScript.h"
#include "RasApi.h"

namespace {

constexpr UINT kRasDialEvent = 0xCCCD; // WM_RASDIALEVENT
constexpr DWORD kOldEntryNameSize = sizeof(RasEntryName264);
constexpr DWORD kOldStatusSize = sizeof(RasConnStatus160);

bool KnownSize(DWORD size, std::initializer_list<DWORD> sizes)
{
    for (DWORD known : sizes) {
        if (size == known)
            return true;
    }
    return false;
}

// The fields of a caller's record need not be terminated.
template <size_t N>
std::string FieldText(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

template <size_t N>
void CopyField(char (&field)[N], const std::string& text)
{
    size_t length = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

// The folder of this DLL, not of the program, so that a test puts the script beside the DLL it loads.
const std::string& ModuleFolder()
{
    static const std::string folder = [] {
        HMODULE self = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&ModuleFolder), &self);
        char path[MAX_PATH] = "";
        DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        std::string full(path, length < MAX_PATH ? length : 0);
        size_t slash = full.find_last_of("\\/");
        return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
    }();
    return folder;
}

class LogLine {
public:
    explicit LogLine(const char* call) : m_text(call) {}

    LogLine& Add(const char* key, const std::string& value)
    {
        m_text += ' ';
        m_text += key;
        m_text += '=';
        bool plain = !value.empty() && value.find_first_of(" \t\"\\") == std::string::npos;
        if (plain) {
            m_text += value;
            return *this;
        }
        m_text += '"';
        for (char c : value) {
            if (c == '"' || c == '\\')
                m_text += '\\';
            m_text += c;
        }
        m_text += '"';
        return *this;
    }
    LogLine& Add(const char* key, DWORD value) { return Add(key, std::to_string(value)); }
    LogLine& AddHandle(const char* key, HANDLE value)
    {
        char text[16];
        std::snprintf(text, sizeof(text), "0x%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(value)));
        return Add(key, std::string(text));
    }
    LogLine& AddText(const char* key, const char* value) { return Add(key, value ? std::string(value) : "-"); }

    // Opened for each line, so every line is on disk at once and the test may delete the file between calls.
    void Write()
    {
        static std::mutex lock;
        Add("t", GetTickCount());
        m_text += '\n';
        std::lock_guard<std::mutex> hold(lock);
        UniqueHandle file(CreateFileA((ModuleFolder() + "rassim.log").c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            file.release();
            return;
        }
        DWORD written = 0;
        WriteFile(file.get(), m_text.data(), static_cast<DWORD>(m_text.size()), &written, nullptr);
    }

private:
    std::string m_text;
};

// Read at every call that depends on it, so a test may change the file between calls.
LineScript ReadScript()
{
    std::string text;
    UniqueHandle file(CreateFileA((ModuleFolder() + "rassim.txt").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
    } else {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
            text.append(buffer, got);
    }
    LineScript script = LineScript::Parse(text);
    for (const ScriptProblem& problem : script.Problems())
        LogLine("script").Add("line", problem.line).Add("problem", problem.text).Write();
    return script;
}

// One dial. The fields under "guarded" change under g_lock only.
struct Line {
    HANDLE handle = nullptr;
    EntryScript entry;
    DWORD outcome = 0;
    RasDialFunc notifier = nullptr;
    UniqueHandle hungUp;
    HMODULE module = nullptr;
    // guarded
    DWORD state = 0;
    DWORD error = 0;
    bool ended = false;
};

std::mutex g_lock;
std::map<HANDLE, std::shared_ptr<Line>> g_lines;
// Handles are never reused, so a stale one stays invalid.
UINT_PTR g_lastHandle = 0x00A10000;

std::shared_ptr<Line> FindLine(HANDLE handle)
{
    auto found = g_lines.find(handle);
    return found == g_lines.end() ? nullptr : found->second;
}

bool Pause(const Line& line, DWORD ms)
{
    return WaitForSingleObject(line.hungUp.get(), ms) == WAIT_TIMEOUT;
}

bool Advance(Line& line, DWORD state, DWORD error)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (line.ended)
        return false;
    line.state = state;
    line.error = error;
    return true;
}

// Called without the lock: the host handles the report on its UI thread while this thread
// waits, and calls RasHangUpA and RasGetErrorStringA from there.
void Notify(const Line& line, DWORD state, DWORD error)
{
    LogLine("notify").AddHandle("handle", line.handle).Add("state", state).Add("error", error).Write();
    line.notifier(kRasDialEvent, state, error);
}

bool Report(Line& line, DWORD state, DWORD error)
{
    if (!Advance(line, state, error))
        return false;
    Notify(line, state, error);
    return true;
}

void PlayDial(Line& line)
{
    const EntryScript& entry = line.entry;
    DWORD pauses = static_cast<DWORD>(entry.progress.size()) + 1;
    DWORD step = entry.dialMs / pauses;
    for (uint32_t state : entry.progress) {
        if (!Pause(line, step) || !Report(line, state, 0))
            return;
    }
    if (!Pause(line, entry.dialMs - step * (pauses - 1)))
        return;
    if (line.outcome != 0) {
        Report(line, entry.FailState(), line.outcome);
        return;
    }
    if (!Report(line, kRasConnected, 0) || entry.dropAfterMs == 0 || !Pause(line, entry.dropAfterMs))
        return;
    if (!Advance(line, kRasDisconnected, entry.dropError))
        return;
    LogLine("drop").AddHandle("handle", line.handle).Add("error", entry.dropError).Write();
    if (entry.dropNotify)
        Notify(line, kRasDisconnected, entry.dropError);
}

DWORD WINAPI LineThread(void* parameter)
{
    std::unique_ptr<std::shared_ptr<Line>> line(static_cast<std::shared_ptr<Line>*>(parameter));
    HMODULE module = (*line)->module;
    try {
        PlayDial(**line);
    } catch (...) {
        LogLine("thread").AddHandle("handle", (*line)->handle).AddText("problem", "out of memory").Write();
    }
    line.reset();
    // The thread holds a reference on this DLL, so a FreeLibrary during a dial cannot unload
    // the code it runs.
    FreeLibraryAndExitThread(module, 0);
}

std::shared_ptr<Line> AddLine(const EntryScript& entry)
{
    auto line = std::make_shared<Line>();
    line->entry = entry;
    line->hungUp.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!line->hungUp.valid())
        return nullptr;
    std::lock_guard<std::mutex> hold(g_lock);
    g_lastHandle += 4;
    line->handle = reinterpret_cast<HANDLE>(g_lastHandle);
    g_lines[line->handle] = line;
    return line;
}

void RemoveLine(const Line& line)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_lines.erase(line.handle);
}

// Starts the line's thread suspended, so the dial is logged and the handle returned before
// the first report.
HANDLE CreateLineThread(const std::shared_ptr<Line>& line)
{
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&LineThread),
                            &line->module))
        return nullptr;
    auto parameter = std::make_unique<std::shared_ptr<Line>>(line);
    HANDLE thread = CreateThread(nullptr, 0, LineThread, parameter.get(), CREATE_SUSPENDED, nullptr);
    if (thread == nullptr) {
        FreeLibrary(line->module);
        return nullptr;
    }
    parameter.release();
    return thread;
}

DWORD Dial(const char* phoneBook, RasDialParams1052* params, DWORD notifierType, void* notifier,
           RasConnHandle* connection)
{
    LogLine log("dial");
    if (params == nullptr || connection == nullptr) {
        log.Add("result", ERROR_INVALID_PARAMETER).Write();
        return ERROR_INVALID_PARAMETER;
    }
    *connection = nullptr;
    std::string name = FieldText(params->szEntryName);
    std::string user = FieldText(params->szUserName);
    std::string password = FieldText(params->szPassword);
    log.Add("entry", name).Add("user", user).Add("password", password).AddText("phonebook", phoneBook);
    log.Add("notifier", notifierType).Add("size", params->dwSize);
    // 1052: Windows 95 / NT 4; 1060 and 1064: the later forms with sub-entry and callback fields.
    DWORD result = 0;
    if (!KnownSize(params->dwSize, {1052, 1060, 1064}))
        result = ERROR_INVALID_SIZE;
    else if (notifierType != 0 || notifier == nullptr)
        result = ERROR_INVALID_PARAMETER;
    if (result != 0) {
        log.Add("result", result).Write();
        return result;
    }

    LineScript script = ReadScript();
    const EntryScript* entry = script.Find(name);
    if (entry == nullptr) {
        log.Add("result", ERROR_CANNOT_FIND_PHONEBOOK_ENTRY).Write();
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    if (entry->immediateError != 0 && !entry->immediateHandle) {
        log.Add("result", entry->immediateError).Write();
        return entry->immediateError;
    }
    std::shared_ptr<Line> line = AddLine(*entry);
    if (line == nullptr) {
        log.Add("result", ERROR_NOT_ENOUGH_MEMORY).Write();
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    // A failed start that still hands out a handle, which the caller must hang up.
    if (entry->immediateError != 0) {
        Advance(*line, entry->FailState(), entry->immediateError);
        *connection = line->handle;
        log.AddHandle("handle", line->handle).Add("result", entry->immediateError).Write();
        return entry->immediateError;
    }

    line->outcome = entry->OutcomeFor(user, password);
    line->notifier = reinterpret_cast<RasDialFunc>(notifier);
    UniqueHandle thread(CreateLineThread(line));
    if (!thread.valid()) {
        RemoveLine(*line);
        log.Add("result", ERROR_NOT_ENOUGH_MEMORY).Write();
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    *connection = line->handle;
    log.AddHandle("handle", line->handle).Add("result", 0).Write();
    ResumeThread(thread.get());
    return 0;
}

DWORD HangUp(RasConnHandle connection)
{
    std::shared_ptr<Line> line;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        line = FindLine(connection);
        if (line != nullptr) {
            g_lines.erase(connection);
            line->ended = true;
            SetEvent(line->hungUp.get());
        }
    }
    DWORD result = line != nullptr ? line->entry.hangupError : ERROR_INVALID_HANDLE;
    LogLine("hangup").AddHandle("handle", connection).Add("result", result).Write();
    return result;
}

DWORD GetStatus(RasConnHandle connection, RasConnStatus160* status)
{
    LogLine log("status");
    log.AddHandle("handle", connection);
    // 160: Windows 95 / NT 4; 288: the later form with the phone number, left empty here.
    if (status == nullptr || !KnownSize(status->dwSize, {kOldStatusSize, 288})) {
        DWORD result = status == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_SIZE;
        log.Add("result", result).Write();
        return result;
    }
    DWORD result = 0;
    DWORD state = 0;
    DWORD error = 0;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        std::shared_ptr<Line> line = FindLine(connection);
        if (line == nullptr) {
            result = ERROR_INVALID_HANDLE;
        } else {
            result = line->entry.statusError;
            state = line->state;
            error = line->error;
        }
    }
    if (result != 0) {
        log.Add("result", result).Write();
        return result;
    }
    DWORD size = status->dwSize;
    std::memset(status, 0, size);
    status->dwSize = size;
    status->rasconnstate = state;
    status->dwError = error;
    CopyField(status->szDeviceType, "modem");
    CopyField(status->szDeviceName, "rassim line");
    log.Add("result", 0).Add("state", state).Add("error", error).Write();
    return 0;
}

DWORD EnumEntries(const char* phoneBook, RasEntryName264* entries, DWORD* bytes, DWORD* count)
{
    LogLine log("enum");
    log.AddText("phonebook", phoneBook);
    if (bytes == nullptr || count == nullptr) {
        log.Add("result", ERROR_INVALID_PARAMETER).Write();
        return ERROR_INVALID_PARAMETER;
    }
    log.Add("bytes", *bytes);
    // 264: Windows 95 / NT 4; 532: the later form with flags and phone-book path, left empty here.
    DWORD recordSize = entries != nullptr ? entries->dwSize : kOldEntryNameSize;
    log.Add("size", recordSize);
    if (!KnownSize(recordSize, {kOldEntryNameSize, 532})) {
        log.Add("result", ERROR_INVALID_SIZE).Write();
        return ERROR_INVALID_SIZE;
    }
    LineScript script = ReadScript();
    if (script.EnumError() != 0) {
        log.Add("result", script.EnumError()).Write();
        return script.EnumError();
    }
    const DWORD found = static_cast<DWORD>(script.Entries().size());
    const DWORD needed = found * recordSize;
    DWORD result = 0;
    if (entries == nullptr || *bytes < needed) {
        result = found == 0 ? 0 : ERROR_BUFFER_TOO_SMALL;
    } else {
        char* record = reinterpret_cast<char*>(entries);
        for (const EntryScript& entry : script.Entries()) {
            auto* name = reinterpret_cast<RasEntryName264*>(record);
            std::memset(record, 0, recordSize);
            name->dwSize = recordSize;
            CopyField(name->szEntryName, entry.name);
            record += recordSize;
        }
    }
    *bytes = needed;
    *count = found;
    log.Add("result", result).Add("needed", needed).Add("count", found).Write();
    return result;
}

DWORD GetErrorString(UINT code, char* text, DWORD size)
{
    LogLine log("errorstring");
    log.Add("code", code);
    std::string own;
    DWORD result = 0;
    if (text == nullptr || size == 0)
        result = ERROR_INVALID_PARAMETER;
    else if (!ReadScript().ErrorText(code, own))
        result = ERROR_INVALID_PARAMETER;
    else if (own.size() + 1 > size)
        result = ERROR_BUFFER_TOO_SMALL;
    else
        std::memcpy(text, own.c_str(), own.size() + 1);
    log.Add("result", result).Write();
    return result;
}

// No exception leaves an export: the caller is C code of another module.
template <typename Body>
DWORD Guarded(Body body)
{
    try {
        return body();
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

} // namespace

extern "C" {

DWORD WINAPI RasDialA(void*, const char* phoneBook, RasDialParams1052* params, DWORD notifierType, void* notifier,
                      RasConnHandle* connection)
{
    return Guarded([&] { return Dial(phoneBook, params, notifierType, notifier, connection); });
}

DWORD WINAPI RasHangUpA(RasConnHandle connection)
{
    return Guarded([&] { return HangUp(connection); });
}

DWORD WINAPI RasGetConnectStatusA(RasConnHandle connection, RasConnStatus160* status)
{
    return Guarded([&] { return GetStatus(connection, status); });
}

DWORD WINAPI RasEnumEntriesA(const char*, const char* phoneBook, RasEntryName264* entries, DWORD* bytes, DWORD* count)
{
    return Guarded([&] { return EnumEntries(phoneBook, entries, bytes, count); });
}

DWORD WINAPI RasGetErrorStringA(UINT error, char* text, DWORD size)
{
    return Guarded([&] { return GetErrorString(error, text, size); });
}
}
