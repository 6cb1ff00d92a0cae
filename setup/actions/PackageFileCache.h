// PackageFileCache: the package file read through a few cached blocks.
#pragma once

#include "ioapi.h"

// The archive library finds an entry by walking the central directory from its first record
// on every lookup, a few small reads after a seek for each record. With plain buffered file
// access every seek dropped the buffer, so each of those reads went to the system and a
// package of a few thousand entries took minutes to unpack. These functions keep the last
// blocks read and serve such reads from memory; large reads go to the file directly.
void fillCachedFileFunctions(zlib_filefunc_def* functions);
