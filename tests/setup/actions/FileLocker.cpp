// file_locker: holds a file the way a running program does until told to stop.
//   file_locker open|load PATH SECONDS: "open" keeps it open without sharing, "load" loads it as
//   a library; PATH.locked appears once it is held, and the program ends when it is deleted.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    std::string path = argv[2];
    int seconds = std::atoi(argv[3]);
    HANDLE file = INVALID_HANDLE_VALUE;
    HMODULE library = nullptr;
    if (std::strcmp(argv[1], "open") == 0)
        file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    else
        library = LoadLibraryA(path.c_str());
    if (file == INVALID_HANDLE_VALUE && library == nullptr)
        return 1;
    std::string marker = path + ".locked";
    HANDLE mark = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(mark);
    for (int i = 0; i < seconds * 10 && GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (library != nullptr)
        FreeLibrary(library);
    return 0;
}
