// Process-wide state of the setup program.
#include "SetupApp.h"

#include <cstring>

namespace {

HINSTANCE storedInstance = nullptr;
SetupContext* publishedContext = nullptr;
char folderBuffer[MAX_PATH];

} // namespace

HINSTANCE instanceHandle()
{
    return storedInstance;
}

void storeInstanceHandle(HINSTANCE instance)
{
    storedInstance = instance;
}

SetupContext* currentContext()
{
    return publishedContext;
}

void publishContext(SetupContext* context)
{
    publishedContext = context;
}

const char* mainWindowClassName()
{
    return "OrvikSetup";
}

const char* splashWindowClassName()
{
    return "OrvikSetupSplash";
}

const char* engineVersion()
{
    return "1.4.7";
}

const char* moduleFolder()
{
    DWORD length = GetModuleFileNameA(nullptr, folderBuffer, MAX_PATH);
    // A path cut at the buffer's end is not terminated on every Windows.
    if (length >= MAX_PATH)
        length = MAX_PATH - 1;
    folderBuffer[length] = '\0';
    char* slash = std::strrchr(folderBuffer, '\\');
    if (slash != nullptr)
        *slash = '\0';
    return folderBuffer;
}
