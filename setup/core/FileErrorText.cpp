// The texts that report a FileErrorKind.
#include "SetupExceptions.h"

const char* fileErrorText(std::int32_t kind)
{
    switch (kind) {
    case FileNoError:
        return "No error occurred";
    case FileNotFound:
        return "File not found";
    case FileCannotOpen:
        return "Can not open file";
    case FileReadError:
        return "There was an error in read operation";
    case FileSeekError:
        return "There was an error trying to set the file pointer";
    case FileDiskFull:
        return "The disk is full";
    case FileEndOfFile:
        return "The end of file was reached";
    default:
        return "Unknown error";
    }
}
