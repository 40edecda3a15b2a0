#include "late_libraries.h"

#include <objbase.h>

namespace zentab::win32 {

namespace {

// Both are known DLLs: the system loads them from its own folder only.
template <typename Function>
Function Find(const wchar_t* library, const char* name)
{
    const HMODULE module = LoadLibraryW(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

bool comStarted = false;

}  // namespace

bool StartCom()
{
    static const bool started = [] {
        using Initialize = HRESULT(WINAPI*)(void*, DWORD);
        const auto initialize = Find<Initialize>(L"ole32.dll", "CoInitializeEx");
        // The file dialogs and the accessibility properties are COM objects
        // of this single-threaded window.
        const HRESULT result =
            initialize ? initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) : E_NOTIMPL;
        comStarted = SUCCEEDED(result);
        // Started already by someone else in another mode: COM is there all the same.
        return comStarted || result == RPC_E_CHANGED_MODE;
    }();
    return started;
}

void StopCom()
{
    if (!comStarted)
        return;
    using Uninitialize = void(WINAPI*)();
    if (const auto uninitialize = Find<Uninitialize>(L"ole32.dll", "CoUninitialize"))
        uninitialize();
    comStarted = false;
}

HRESULT CreateComObject(REFCLSID type, REFIID face, void** made)
{
    using Create = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    static const auto create = Find<Create>(L"ole32.dll", "CoCreateInstance");
    if (!create || !StartCom())
        return E_NOTIMPL;
    return create(type, nullptr, CLSCTX_INPROC_SERVER, face, made);
}

BOOL ShowFileDialog(OPENFILENAMEW& dialog, bool save)
{
    using Show = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto open = Find<Show>(L"comdlg32.dll", "GetOpenFileNameW");
    static const auto saveAs = Find<Show>(L"comdlg32.dll", "GetSaveFileNameW");
    const Show show = save ? saveAs : open;
    if (!show)
        return FALSE;
    StartCom();
    return show(&dialog);
}

}  // namespace zentab::win32
