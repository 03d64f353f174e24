// Imports the system libraries the setup program imports and ends at its
// entry point: what it loads is what Wine's own libraries load while a
// process starts, before any code of the program can run.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

int wmain(int argc, wchar_t** argv) {
    (void)argv;
    // Never true; the calls only make the imports.
    if (argc < 0) {
        InitCommonControls();
        CoUninitialize();
        SysFreeString(NULL);
        DragFinish(NULL);
        RegCloseKey(NULL);
        GetStockObject(0);
        MessageBeep(0);
    }
    return 0;
}
