// FileTypeHandler: FILE_TYPES records, an extension with its class, open command and icon.
#pragma once

#include "RecordHandler.h"

class RegistryHandler;

class FileTypeHandler : public RecordHandler {
public:
    // Logs through the registry handler's install log.
    explicit FileTypeHandler(RegistryHandler& registry) : m_registry(registry) {}

    // ".ext,class,description,open command[,icon file[,icon index]]"; an extension that
    // already has a key is left as it is.
    void apply(const std::string& record) override;
    void undo(const std::string&) override {}

private:
    RegistryHandler& m_registry;
};
