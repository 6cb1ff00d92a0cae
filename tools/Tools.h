// CTools: turns a peer's dotted IPv4 address into the host name the resolver knows.
// Exported by Tools.dll; TelvaneHost and TelvaneClient link it at load time.
#pragma once

#include "Str.h"

#ifdef TOOLS_BUILDING_DLL
#define TOOLS_API __declspec(dllexport)
#else
#define TOOLS_API __declspec(dllimport)
#endif

class TOOLS_API CTools {
public:
    CTools();
    virtual ~CTools();

    // The resolver's official name of the address, or a copy of the text unchanged when
    // it has none. Blocks for as long as the resolver takes.
    static CString ResolveHostName(CString& address);
    static CString ResolveHostName(const char* address);
};
