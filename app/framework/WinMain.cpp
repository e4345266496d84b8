#include "WinApp.h"

// Hands control to the application object; its InitInstance runs the whole program.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (CWinApp* app = AfxGetApp())
        app->InitInstance();
    return 0;
}
