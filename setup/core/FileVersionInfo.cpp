// FileVersionInfo: probing the file, loading it as a module and reading its version block.
#include <windows.h>

#include <cstring>
#include <new>

#include "FileVersionInfo.h"

FileVersionInfo::FileVersionInfo(const std::string& fileName)
{
    // A file that is no module at all must not be given to LoadLibrary.
    HMODULE probe = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (probe == nullptr)
        return;
    FreeLibrary(probe);
    HMODULE module = LoadLibraryA(fileName.c_str());
    if (module == nullptr)
        return;
    readVersion(fileName);
    FreeLibrary(module);
}

void FileVersionInfo::readVersion(const std::string& fileName)
{
    HMODULE module = GetModuleHandleA(fileName.c_str());
    if (module == nullptr)
        return;
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(module, path, MAX_PATH) == 0)
        return;
    path[MAX_PATH - 1] = '\0';
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return;
    m_block.reset(new (std::nothrow) unsigned char[size]);
    if (!m_block || !GetFileVersionInfoA(path, 0, size, m_block.get()))
        return;
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(m_block.get(), "\\", &fixed, &fixedSize) || fixed == nullptr)
        return;
    std::memcpy(m_fixedInfo, fixed, fixedSize < sizeof m_fixedInfo ? fixedSize : sizeof m_fixedInfo);
    void* translation = nullptr;
    UINT translationSize = 0;
    if (VerQueryValueA(m_block.get(), "\\VarFileInfo\\Translation", &translation, &translationSize) &&
        translation != nullptr && translationSize >= 4) {
        const WORD* words = static_cast<const WORD*>(translation);
        m_languageId = words[0];
        m_codePage = words[1];
    }
    m_valid = m_fixedInfo[0] == 0xFEEF04BDu;
}
