// SetupScript: reading the whole file byte for byte.
#include <windows.h>

#include "SetupExceptions.h"
#include "SetupScript.h"

SetupScript::SetupScript(const std::string& folder, const std::string& fileName)
{
    std::string path = joinPath(folder, fileName);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw FileException(fileName, FileCannotOpen);
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool readable = size != INVALID_FILE_SIZE && high == 0;
    if (readable) {
        m_text.resize(size);
        DWORD done = 0;
        readable = size == 0 || (ReadFile(file, &m_text[0], size, &done, nullptr) && done == size);
    }
    CloseHandle(file);
    if (!readable)
        throw FileException(fileName, FileCannotOpen);
}
