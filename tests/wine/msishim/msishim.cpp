// msi.dll for the end-to-end tests under Wine 8. Placed beside the program
// under test and loaded first (WINEDLLOVERRIDES "msi=n,b"), it answers two
// calls the way Windows documents them, where Wine 8's msi.dll does not, and
// forwards every other export (msi.def) to Wine's own msi.dll, copied beside
// it as winemsi.dll. The program itself is the same as on Windows.
#include <windows.h>
#include <msi.h>

namespace {

HMODULE wineMsi = nullptr;

// Wine's msi.dll, beside this one under another name; loaded on first use.
HMODULE WineMsi()
{
    if (wineMsi == nullptr)
        wineMsi = LoadLibraryA("winemsi.dll");
    return wineMsi;
}

template <typename Function>
Function WineFunction(const char* name)
{
    const HMODULE module = WineMsi();
    FARPROC proc = module != nullptr ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

using EnumProductsExA = UINT(WINAPI*)(LPCSTR, LPCSTR, DWORD, DWORD, LPSTR, MSIINSTALLCONTEXT*,
                                      LPSTR, LPDWORD);
using GetPatchInfoExA = UINT(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, MSIINSTALLCONTEXT, LPCSTR, LPSTR,
                                      LPDWORD);

constexpr DWORD kGuidChars = 39;  // "{...}" and the terminating zero

}  // namespace

// Wine 8 compares a given product code with the packed names of its product
// keys, so a product asked for by code is never found. Listing every product
// (no code) works: walk that list and answer for the entries with the code
// asked for, the index-th of them. Wine accepts only consecutive indexes in a
// listing (0, 1, 2 ...), so each entry is read once, into the caller's buffers
// as far as they go.
extern "C" UINT WINAPI FixedMsiEnumProductsExA(LPCSTR productCode, LPCSTR userSid, DWORD context,
                                                DWORD index, LPSTR installedProductCode,
                                                MSIINSTALLCONTEXT* installedContext, LPSTR sid,
                                                LPDWORD sidChars)
{
    const auto wine = WineFunction<EnumProductsExA>("MsiEnumProductsExA");
    if (wine == nullptr)
        return ERROR_CALL_NOT_IMPLEMENTED;
    if (productCode == nullptr)
        return wine(nullptr, userSid, context, index, installedProductCode, installedContext, sid,
                    sidChars);

    const DWORD sidCapacity = sidChars != nullptr ? *sidChars : 0;
    DWORD matches = 0;
    for (DWORD listed = 0;; ++listed) {
        char code[kGuidChars] = "";
        MSIINSTALLCONTEXT codeContext = MSIINSTALLCONTEXT_NONE;
        if (sidChars != nullptr)
            *sidChars = sidCapacity;
        const UINT status = wine(nullptr, userSid, context, listed, code, &codeContext, sid,
                                 sidChars);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            return status;  // ERROR_NO_MORE_ITEMS: not installed (any more)
        code[kGuidChars - 1] = '\0';
        if (lstrcmpiA(code, productCode) != 0 || matches++ != index)
            continue;
        if (installedProductCode != nullptr)
            lstrcpynA(installedProductCode, code, kGuidChars);
        if (installedContext != nullptr)
            *installedContext = codeContext;
        return status;  // ERROR_MORE_DATA: the SID did not fit
    }
}

// Wine 8 drops the terminating zero of a value exactly one character shorter
// than the buffer, and reports a buffer that is too small with twice the
// value's length. Read the whole value into a buffer of our own, then answer
// as Windows does: the value and its zero when it fits; otherwise
// ERROR_MORE_DATA, as much of the value as fits with its zero, and the length.
extern "C" UINT WINAPI FixedMsiGetPatchInfoExA(LPCSTR patchCode, LPCSTR productCode,
                                                LPCSTR userSid, MSIINSTALLCONTEXT context,
                                                LPCSTR property, LPSTR value, LPDWORD valueChars)
{
    const auto wine = WineFunction<GetPatchInfoExA>("MsiGetPatchInfoExA");
    if (wine == nullptr)
        return ERROR_CALL_NOT_IMPLEMENTED;
    if (value == nullptr || valueChars == nullptr || *valueChars == 0)
        return wine(patchCode, productCode, userSid, context, property, value, valueChars);

    const DWORD capacity = *valueChars;
    DWORD size = capacity + 1;  // one more than asked: a value that fits ends in a zero
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Zeroed, with a byte beyond the size Wine is told: always terminated.
        char* buffer = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
        if (buffer == nullptr)
            return ERROR_OUTOFMEMORY;
        DWORD chars = size;
        const UINT status = wine(patchCode, productCode, userSid, context, property, buffer, &chars);
        if (status == ERROR_MORE_DATA && chars >= size) {
            HeapFree(GetProcessHeap(), 0, buffer);
            size = chars + 1;
            continue;
        }
        if (status == ERROR_SUCCESS) {
            const DWORD length = lstrlenA(buffer);
            const DWORD copied = length < capacity ? length : capacity - 1;
            CopyMemory(value, buffer, copied);
            value[copied] = '\0';
            *valueChars = length;
            HeapFree(GetProcessHeap(), 0, buffer);
            return length < capacity ? ERROR_SUCCESS : ERROR_MORE_DATA;
        }
        HeapFree(GetProcessHeap(), 0, buffer);
        return status;
    }
    return ERROR_MORE_DATA;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
