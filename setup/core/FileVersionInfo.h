// FileVersionInfo: the version resource of a program file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class FileVersionInfo {
public:
    // Never throws; valid() tells whether a version was found.
    explicit FileVersionInfo(const std::string& fileName);

    bool valid() const { return m_valid; }
    const std::uint32_t* fixedInfo() const { return m_fixedInfo; }
    std::uint32_t fileVersionHigh() const { return m_fixedInfo[2]; }
    std::uint32_t fileVersionLow() const { return m_fixedInfo[3]; }
    std::uint16_t languageId() const { return m_languageId; }
    std::uint16_t codePage() const { return m_codePage; }

private:
    void readVersion(const std::string& fileName);

    // Signature, structure version, file version high and low, product version high and low,
    // flags mask, flags, operating system, file type, subtype, file date high and low.
    std::uint32_t m_fixedInfo[13] = {};
    std::unique_ptr<unsigned char[]> m_block;
    std::uint16_t m_languageId = 0;
    std::uint16_t m_codePage = 1252;
    bool m_valid = false;
};
