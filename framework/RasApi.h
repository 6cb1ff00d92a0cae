// The dial-up (Remote Access Service) calls the host makes, with the records in their
// Windows 95 / NT 4 sizes. The system headers only know the later, larger forms, so the
// records and the prototypes are ours; the calls link against rasapi32 as usual.
#pragma once

#include <winsock2.h>
#include <windows.h>

typedef HANDLE RasConnHandle;

constexpr DWORD kRasConnected = 0x2000;    // RASCS_Connected
constexpr DWORD kRasDisconnected = 0x2001; // RASCS_Disconnected
constexpr DWORD kRasInvalidHandle = 6;     // ERROR_INVALID_HANDLE

#pragma pack(push, 4)
struct RasEntryName264 {
    DWORD dwSize;
    char szEntryName[256 + 1];
};

struct RasConnStatus160 {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    char szDeviceType[16 + 1];
    char szDeviceName[128 + 1];
};

struct RasDialParams1052 {
    DWORD dwSize;
    char szEntryName[256 + 1];
    char szPhoneNumber[128 + 1];
    char szCallbackNumber[128 + 1];
    char szUserName[256 + 1];
    char szPassword[256 + 1];
    char szDomain[15 + 1];
};
#pragma pack(pop)

static_assert(sizeof(RasEntryName264) == 264, "entry-name record of Windows 95 / NT 4");
static_assert(sizeof(RasConnStatus160) == 160, "connection-status record of Windows 95 / NT 4");
static_assert(sizeof(RasDialParams1052) == 1052, "dial-parameter record of Windows 95 / NT 4");

// Notifier type 0: called with WM_RASDIALEVENT, the connection state and an error code.
typedef void(WINAPI* RasDialFunc)(UINT message, DWORD state, DWORD error);

extern "C" {
DWORD WINAPI RasDialA(void* extensions, const char* phoneBook, RasDialParams1052* params, DWORD notifierType,
                      void* notifier, RasConnHandle* connection);
DWORD WINAPI RasHangUpA(RasConnHandle connection);
DWORD WINAPI RasGetConnectStatusA(RasConnHandle connection, RasConnStatus160* status);
DWORD WINAPI RasEnumEntriesA(const char* reserved, const char* phoneBook, RasEntryName264* entries, DWORD* bytes,
                             DWORD* count);
DWORD WINAPI RasGetErrorStringA(UINT error, char* text, DWORD size);
}
