// Picture: the whole file read into movable memory and handed to OleLoadPicture.
#include "Picture.h"

#include <initializer_list>

namespace {

using LoadPicture = HRESULT(WINAPI*)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

// A Windows 95 without the OLE controls update has OleLoadPicture only in olepro32.dll, or not
// at all; looked up at run time so that setup still starts there, without its pictures.
LoadPicture pictureLoader()
{
    for (const char* name : {"oleaut32.dll", "olepro32.dll"}) {
        HMODULE module = LoadLibraryA(name);
        if (module == nullptr)
            continue;
        FARPROC loader = GetProcAddress(module, "OleLoadPicture");
        if (loader != nullptr)
            return reinterpret_cast<LoadPicture>(reinterpret_cast<void*>(loader));
        FreeLibrary(module);
    }
    return nullptr;
}

HRESULT lastError()
{
    DWORD code = GetLastError();
    return code == 0 ? E_FAIL : HRESULT_FROM_WIN32(code);
}

} // namespace

HRESULT Picture::load(const char* path)
{
    release();
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE) {
        HRESULT result = lastError();
        CloseHandle(file);
        return result;
    }
    // An empty file has nothing to load; GlobalAlloc of 0 bytes would give a discarded block.
    if (size == 0) {
        CloseHandle(file);
        return E_FAIL;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) {
        CloseHandle(file);
        return E_OUTOFMEMORY;
    }
    DWORD read = 0;
    void* data = GlobalLock(memory);
    BOOL ok = data != nullptr && ReadFile(file, data, size, &read, nullptr);
    GlobalUnlock(memory);
    CloseHandle(file);
    if (!ok || read < size) {
        GlobalFree(memory);
        return E_FAIL;
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return E_OUTOFMEMORY;
    }
    static const LoadPicture loader = pictureLoader();
    void* picture = nullptr;
    HRESULT result = loader != nullptr ? loader(stream, 0, TRUE, IID_IPicture, &picture) : E_NOTIMPL;
    stream->Release();
    if (result == S_OK)
        m_picture = static_cast<IPicture*>(picture);
    else if (picture != nullptr)
        static_cast<IPicture*>(picture)->Release();
    return result;
}

void Picture::release()
{
    if (m_picture != nullptr) {
        m_picture->Release();
        m_picture = nullptr;
    }
}

SIZE Picture::pixelSize() const
{
    SIZE size = {0, 0};
    if (m_picture == nullptr)
        return size;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    m_picture->get_Width(&width);
    m_picture->get_Height(&height);
    HDC dc = CreateCompatibleDC(nullptr);
    size.cx = MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), 2540);
    size.cy = MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), 2540);
    DeleteDC(dc);
    return size;
}

void Picture::render(HDC dc, int x, int y) const
{
    if (m_picture == nullptr)
        return;
    SIZE size = pixelSize();
    if (size.cx <= 0 || size.cy <= 0)
        return;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    m_picture->get_Width(&width);
    m_picture->get_Height(&height);
    RECT bounds = {x, y, x + size.cx, y + size.cy};
    m_picture->Render(dc, x, y, size.cx, size.cy, 0, height, width, -height, &bounds);
}
