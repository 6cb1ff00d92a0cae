// CTools: reverse lookup of a peer's address.
#include <winsock2.h>
#include <windows.h>

#include "DottedAddress.h"
#include "Tools.h"

CTools::CTools() = default;

CTools::~CTools() = default;

CString CTools::ResolveHostName(CString& address)
{
    unsigned char bytes[4];
    ParseDottedAddress(address, bytes);
    hostent* entry = gethostbyaddr(reinterpret_cast<const char*>(bytes), 4, AF_INET);
    if (entry != nullptr && entry->h_name != nullptr)
        return CString(entry->h_name);
    return CString(address);
}

CString CTools::ResolveHostName(const char* address)
{
    CString text(address);
    return ResolveHostName(text);
}
