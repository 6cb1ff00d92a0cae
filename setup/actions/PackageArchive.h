// PackageArchive: reading the files to install out of the package, setup.zip.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class PackageArchive {
public:
    // The transfer buffer, allocated at open and freed at close.
    static const unsigned bufferSize = 16384;

    PackageArchive() = default;
    ~PackageArchive();
    PackageArchive(const PackageArchive&) = delete;
    PackageArchive& operator=(const PackageArchive&) = delete;

    // Closes an archive still open, then opens fileName (relative names: current folder).
    bool open(const std::string& fileName);
    void close();
    bool isOpen() const { return m_reader != nullptr; }

    // Makes an entry current. Letters a-z and A-Z match either case, other bytes exactly; a
    // name of 256 characters or more never matches.
    bool locate(const std::string& entryName);
    // Writes the current entry to outputPath with the entry's time stamp as local time.
    bool extractCurrent(const std::string& outputPath);
    // Clears a read-only attribute of targetPath, then locate and extractCurrent.
    bool extractTo(const std::string& entryName, const std::string& targetPath);
    // Extracts into a new file of the temporary folder and returns its path; on failure the
    // file is gone again. The caller disposes of the file.
    std::optional<std::string> extractToTemp(const std::string& entryName);

    // 0, a negative code of the archive reader, or -1 for a failure of the output file.
    std::int32_t status() const { return m_status; }

private:
    void* m_reader = nullptr;
    std::unique_ptr<char[]> m_buffer;
    std::int32_t m_status = 0;
};
