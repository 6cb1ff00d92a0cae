// Tools.dll attach and detach: Windows Sockets and the framework layer, nothing more.
#include <winsock2.h>
#include <windows.h>

#include "App.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(instance))
            return FALSE;
        WSADATA data;
        if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
            AfxTermExtensionModule(instance);
            return FALSE; // the program that links us does not start
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        WSACleanup();
        AfxTermExtensionModule(instance);
    }
    return TRUE;
}
