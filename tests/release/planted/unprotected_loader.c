// The control: loads each named DLL by its bare name without limiting the
// search first, as a program that forgets the protection does. Beside the
// decoys it must load them, or the planted-DLL check could never fail.
//   unprotected_loader.exe NAME.dll...

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    int missing = 0;
    for (int i = 1; i < argc; ++i) {
        if (!LoadLibraryW(argv[i])) ++missing;
    }
    return missing;
}
