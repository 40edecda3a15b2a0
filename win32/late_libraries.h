#pragma once
// The libraries the window needs only for what the user does later (the file
// dialogs) or after its first paint (the texts for screen readers): loaded
// at their first use, not before the window shows. MinGW links no delayed
// imports, so they are looked up by name.

#include <windows.h>
#include <commdlg.h>

namespace zentab::win32 {

// COM on this thread, started at the first call (ole32 loaded then); false
// when it cannot be had.
bool StartCom();
// Ends what StartCom started, at the program's end.
void StopCom();
// CoCreateInstance, with COM started first.
HRESULT CreateComObject(REFCLSID type, REFIID face, void** made);

// The system's Open and Save As dialogs (comdlg32); FALSE when the user
// cancelled or the library is not there.
BOOL ShowFileDialog(OPENFILENAMEW& dialog, bool save);

}  // namespace zentab::win32
