// RemovalLog: splitting setup.log into its nine lists.
#include "RemovalLog.h"

namespace {

const char* const sectionNames[RemovalLog::SectionCount] = {
    "COMMON", "SHAREDFILES", "STDFILES", "APPFILES", "APPFOLDERS", "APPDIR", "REGENTRY", "REGDLLS", "RUNAPPS",
};

const std::string applicationNameKey = "Application_Name=";
const std::string beforeUninstallKey = "BeforeUninstall=";

bool isHeader(const std::string& line, std::string& name)
{
    if (line.size() < 3 || line.front() != '[' || line.back() != ']')
        return false;
    name = line.substr(1, line.size() - 2);
    return true;
}

} // namespace

const char* RemovalLog::sectionName(Section section)
{
    return sectionNames[section];
}

bool RemovalLog::parse(const std::string& text, std::string& problem)
{
    *this = RemovalLog();
    if (text.empty()) {
        problem = "the log is empty";
        return false;
    }
    if (text.back() != '\n') {
        problem = "the log ends in the middle of a line";
        return false;
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find('\0') != std::string::npos) {
            problem = "the log holds binary data";
            return false;
        }
        lines.push_back(line);
        start = end + 1;
    }

    int current = -1; // -1: before the first header; SectionCount: an unknown section
    int expected = 0;
    for (const std::string& line : lines) {
        std::string name;
        if (isHeader(line, name)) {
            current = SectionCount;
            for (int s = 0; s < SectionCount; ++s) {
                if (name == sectionNames[s])
                    current = s;
            }
            if (current == SectionCount) {
                m_unknown.push_back(name);
                continue;
            }
            if (current != expected) {
                problem = "the section [" + name + "] is out of place";
                return false;
            }
            ++expected;
            continue;
        }
        if (current < 0) {
            problem = "the log does not begin with [COMMON]";
            return false;
        }
        if (current < SectionCount && !line.empty())
            m_lines[current].push_back(line);
        else if (current == Common)
            m_lines[Common].push_back(line);
    }
    if (expected != SectionCount) {
        problem = std::string("the section [") + sectionNames[expected] + "] is missing";
        return false;
    }
    const std::vector<std::string>& common = m_lines[Common];
    if (common.empty() || common[0].compare(0, applicationNameKey.size(), applicationNameKey) != 0) {
        problem = "the product name is missing";
        return false;
    }
    m_productName = common[0].substr(applicationNameKey.size());
    return true;
}

const std::string& RemovalLog::dialogLine(std::size_t n) const
{
    static const std::string none;
    const std::vector<std::string>& common = m_lines[Common];
    return n < DialogLineCount && n + 1 < common.size() ? common[n + 1] : none;
}

std::string RemovalLog::beforeUninstall() const
{
    for (const std::string& line : m_lines[RunApps]) {
        if (line.compare(0, beforeUninstallKey.size(), beforeUninstallKey) == 0)
            return line.substr(beforeUninstallKey.size());
    }
    return std::string();
}

bool isAbsolutePath(const std::string& path)
{
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        char drive = path[0];
        return (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    }
    return path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}
