// ExtractBench: PackageArchive extracting every entry named in a list file into a folder,
// the way the file installation calls it (extractTo per record), timed from open to close.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "PackageArchive.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: ExtractBench ARCHIVE NAMES-FILE OUTPUT-FOLDER\n");
        return 2;
    }
    std::vector<std::string> names;
    std::ifstream list(argv[2]);
    for (std::string line; std::getline(list, line) && names.size() < 1000000;)
        if (!line.empty())
            names.push_back(line);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    PackageArchive archive;
    if (!archive.open(argv[1])) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 3;
    }
    const std::string folder = argv[3];
    int failed = 0;
    for (const std::string& name : names)
        if (!archive.extractTo(name, folder + "\\" + name))
            ++failed;
    archive.close();
    QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);

    // The share of finding the entries by name, measured on its own afterwards.
    archive.open(argv[1]);
    QueryPerformanceCounter(&start);
    for (const std::string& name : names)
        archive.locate(name);
    QueryPerformanceCounter(&end);
    archive.close();
    double locating = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("locating alone %.3f s; %zu entries, %d failed, %.3f s\n", locating, names.size(), failed, seconds);
    return failed == 0 ? 0 : 1;
}
