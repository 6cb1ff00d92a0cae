// FolderHandler: folder records through the file handler, and removing empty folders.
#include "FolderHandler.h"

#include <windows.h>

#include "FileHandler.h"
#include "RecordFields.h"

void FolderHandler::apply(const std::string& record)
{
    RecordFields fields(record);
    m_files.createFolders(fields.next(), true);
}

void FolderHandler::undo(const std::string& logLine)
{
    RemoveDirectoryA(logLine.c_str());
}
