// A GUI program that starts the way Mirovant931.exe does and ends:
//
//     start_and_end.exe DLL...
//
// loads the DLLs named (the test passes the program's imports), initialises
// the common controls as the program does first, and does nothing else. Wine
// sets up parts of the registry in the first sessions that load them (user32
// metrics, theme defaults); sessions of this program show those writes, so
// that a session of Mirovant931.exe can be held to none at all.
// Exit status: 0, or 1 when a DLL does not load.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int status = 0;
    for (int i = 1; i < __argc; ++i) {
        if (LoadLibraryA(__argv[i]) == nullptr)
            status = 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    return status;
}
