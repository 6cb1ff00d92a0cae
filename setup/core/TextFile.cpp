// TextFile: opening and closing the stream.
#include "TextFile.h"

#include "SetupExceptions.h"
#include "SetupScript.h"

TextFile::TextFile(const std::string& folder, const std::string& name, const char* mode)
    : m_path(joinPath(folder, name)), m_file(std::fopen(m_path.c_str(), mode))
{
    if (m_file == nullptr)
        throw FileException(m_path, FileCannotOpen);
}

TextFile::~TextFile()
{
    close();
}

void TextFile::close()
{
    if (m_file != nullptr)
        std::fclose(m_file);
    m_file = nullptr;
}
