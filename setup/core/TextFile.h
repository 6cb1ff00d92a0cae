// TextFile: a byte stream opened on a folder and a name, for the License and Readme pages.
#pragma once

#include <cstdio>
#include <string>

class TextFile {
public:
    // Throws FileException (the composed path, kind 2) when the file cannot be opened.
    TextFile(const std::string& folder, const std::string& name, const char* mode);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    std::FILE* stream() const { return m_file; }
    const std::string& path() const { return m_path; }
    void close();

private:
    std::string m_path;
    std::FILE* m_file = nullptr;
};
