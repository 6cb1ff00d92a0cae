// FolderHandler: the records of APPLICATION_FOLDERS, SHARED_FOLDERS and SYSTEM_FOLDERS.
#pragma once

#include "RecordHandler.h"

class FileHandler;

class FolderHandler : public RecordHandler {
public:
    // Folders are created and logged through the file handler.
    explicit FolderHandler(FileHandler& files) : m_files(files) {}

    // "path[,...]": creates the folder and its missing parents, logging each one created.
    void apply(const std::string& record) override;
    // An APPFOLDERS or APPDIR line: removes the folder if it is empty.
    void undo(const std::string& logLine) override;

private:
    FileHandler& m_files;
};
