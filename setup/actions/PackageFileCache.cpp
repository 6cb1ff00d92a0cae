// PackageFileCache: a read-only file with a handful of cached blocks, for the archive library.
#include "PackageFileCache.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr long blockSize = 64 * 1024;
constexpr int blockCount = 8;

struct Block {
    long start = -1;
    long length = 0;
    unsigned long lastUse = 0;
    std::unique_ptr<char[]> data;
};

struct CachedFile {
    std::FILE* file = nullptr;
    long size = 0;
    long position = 0;
    bool failed = false;
    unsigned long uses = 0;
    Block blocks[blockCount];
};

bool readAt(CachedFile& file, long offset, char* into, long length, long& read)
{
    read = 0;
    if (std::fseek(file.file, offset, SEEK_SET) != 0)
        return false;
    read = static_cast<long>(std::fread(into, 1, static_cast<std::size_t>(length), file.file));
    return read == length || !std::ferror(file.file);
}

// The block holding offset, read in when it is not cached; null when it cannot be read.
Block* blockAt(CachedFile& file, long offset)
{
    const long start = offset / blockSize * blockSize;
    Block* oldest = &file.blocks[0];
    for (Block& block : file.blocks) {
        if (block.start == start) {
            block.lastUse = ++file.uses;
            return &block;
        }
        if (block.lastUse < oldest->lastUse)
            oldest = &block;
    }
    oldest->start = -1;
    long read = 0;
    if (!readAt(file, start, oldest->data.get(), blockSize, read))
        return nullptr;
    oldest->start = start;
    oldest->length = read;
    oldest->lastUse = ++file.uses;
    return oldest;
}

voidpf ZCALLBACK openFile(voidpf, const char* fileName, int mode)
{
    if (fileName == nullptr || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    std::unique_ptr<CachedFile> file(new (std::nothrow) CachedFile);
    if (!file)
        return nullptr;
    for (Block& block : file->blocks) {
        block.data.reset(new (std::nothrow) char[blockSize]);
        if (!block.data)
            return nullptr;
    }
    file->file = std::fopen(fileName, "rb");
    if (file->file == nullptr)
        return nullptr;
    if (std::fseek(file->file, 0, SEEK_END) != 0 || (file->size = std::ftell(file->file)) < 0) {
        std::fclose(file->file);
        return nullptr;
    }
    return file.release();
}

uLong ZCALLBACK readFile(voidpf, voidpf stream, void* buffer, uLong size)
{
    CachedFile& file = *static_cast<CachedFile*>(stream);
    char* into = static_cast<char*>(buffer);
    uLong done = 0;
    while (done < size && file.position < file.size) {
        const long wanted = static_cast<long>(size - done);
        if (wanted >= blockSize) {
            // Entry data: straight from the file, the cache would only copy it once more.
            long read = 0;
            if (!readAt(file, file.position, into + done, wanted, read))
                file.failed = true;
            file.position += read;
            done += static_cast<uLong>(read);
            break;
        }
        Block* block = blockAt(file, file.position);
        if (block == nullptr) {
            file.failed = true;
            break;
        }
        const long offset = file.position - block->start;
        if (offset >= block->length)
            break;
        long take = block->length - offset;
        if (take > wanted)
            take = wanted;
        std::memcpy(into + done, block->data.get() + offset, static_cast<std::size_t>(take));
        file.position += take;
        done += static_cast<uLong>(take);
    }
    return done;
}

uLong ZCALLBACK writeFile(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

long ZCALLBACK tellFile(voidpf, voidpf stream)
{
    return static_cast<CachedFile*>(stream)->position;
}

long ZCALLBACK seekFile(voidpf, voidpf stream, uLong offset, int origin)
{
    CachedFile& file = *static_cast<CachedFile*>(stream);
    long base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        base = 0;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        base = file.position;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        base = file.size;
        break;
    default:
        return -1;
    }
    // The library passes negative moves as unsigned values; they wrap back here.
    const long target = static_cast<long>(static_cast<unsigned long>(base) + offset);
    if (target < 0)
        return -1;
    file.position = target;
    return 0;
}

int ZCALLBACK closeFile(voidpf, voidpf stream)
{
    CachedFile* file = static_cast<CachedFile*>(stream);
    int result = std::fclose(file->file);
    delete file;
    return result;
}

int ZCALLBACK fileError(voidpf, voidpf stream)
{
    return static_cast<CachedFile*>(stream)->failed ? 1 : 0;
}

} // namespace

void fillCachedFileFunctions(zlib_filefunc_def* functions)
{
    functions->zopen_file = openFile;
    functions->zread_file = readFile;
    functions->zwrite_file = writeFile;
    functions->ztell_file = tellFile;
    functions->zseek_file = seekFile;
    functions->zclose_file = closeFile;
    functions->zerror_file = fileError;
    functions->opaque = nullptr;
}
