// ScriptBench: the per-record work of an installation apart from its fixed pause: the record
// count asked again before every record, the record fetched from Setup.ini, its variables
// expanded and its target logged, for scripts of n file records.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "InstallLog.h"
#include "SetupScript.h"
#include "VariableTable.h"

namespace {

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A script like a product's: settings first, folder records, then n file records spread
// over nested folders, then the lists that follow them.
std::string MakeScript(int files)
{
    std::string text = "[SETUP_INFO]\r\nProductName=Telvane\r\nDefaultInstallationPath=%ProgramFilesDir%\\Velmora"
                       "\\Telvane\r\nDefaultShortcutFolderName=Telvane\r\n\r\n[APPLICATION_FOLDERS]\r\n";
    for (int d = 0; d < 50; ++d)
        text += "%AppDir%\\data\\d" + std::to_string(d) + "\r\n";
    text += "\r\n[APPLICATION_FILES]\r\n";
    char line[256];
    for (int i = 0; i < files; ++i) {
        std::snprintf(line, sizeof(line), "file%d,data/d%d/file%05d.dat,%%AppDir%%\\data\\d%d\\file%05d.dat,0,%d\r\n",
                      i, i % 50, i, i % 50, i, i % 7);
        text += line;
    }
    text += "\r\n[SHARED_FILES]\r\nTools,Tools.dll,%CommonFilesDir%\\Velmora\\Tools.dll,1,3\r\n";
    text += "\r\n[REGISTRY_ENTRIES]\r\nkey,HKLM,SOFTWARE\\Velmora\\%ProductName%\r\n";
    text += "\r\n[SHORTCUTS]\r\n%ProductName%,%AppDir%\\TelvaneClient.exe\r\n";
    return text;
}

std::size_t g_logged = 0;

double InstallLoop(const SetupScript& script, const VariableTable& variables, InstallLog& log, const char* section)
{
    double start = Seconds();
    std::string record;
    for (std::size_t i = 0; i < script.lineCount(section); ++i) {
        if (!script.getLine(section, i, record))
            continue;
        variables.expand(record);
        // The target path is the third field; the log records it as an installed file.
        std::size_t first = record.find(',');
        std::size_t second = first == std::string::npos ? first : record.find(',', first + 1);
        std::size_t third = second == std::string::npos ? second : record.find(',', second + 1);
        if (second != std::string::npos) {
            log.addEntry(InstallLog::File, record.substr(second + 1, third - second - 1));
            ++g_logged;
        }
    }
    return Seconds() - start;
}

} // namespace

int main(int argc, char** argv)
{
    const int pauseMs = 50;
    std::printf("%8s %12s %12s %14s %10s\n", "records", "rest [ms]", "per record", "install [s]", "rest share");
    for (int a = 1; a < argc && a < 16; ++a) {
        int files = std::atoi(argv[a]);
        if (files <= 0 || files > 1000000)
            continue;
        SetupScript script = SetupScript::fromText(MakeScript(files));
        VariableTable variables;
        variables.set("AppDir", "C:\\Program Files\\Velmora\\Telvane");
        variables.set("ProgramFilesDir", "C:\\Program Files");
        variables.set("CommonFilesDir", "C:\\Program Files\\Common Files");
        variables.set("ProductName", "Telvane");
        InstallLog log("C:\\Program Files\\Velmora\\Telvane", "setup.log", false);
        double rest = InstallLoop(script, variables, log, "APPLICATION_FILES");
        double install = files * pauseMs / 1000.0 + rest;
        std::printf("%8d %12.1f %9.1f us %14.1f %9.2f%%\n", files, rest * 1000.0, rest / files * 1e6, install,
                    100.0 * rest / install);
        std::fflush(stdout);
        if (g_logged != static_cast<std::size_t>(files))
            return 1;
        g_logged = 0;
    }
    return 0;
}
