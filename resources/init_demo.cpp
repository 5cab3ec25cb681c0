// init_demo.cpp - the one-time start-up of the show, between the window and the message loop.
#include "app/shell.h"
#include "resources/textures.h"

HWND g_hwnd;
RECT g_clientRect;

int InitDemo(HWND window) {
    g_hwnd = window;
    GetClientRect(window, &g_clientRect);
    InitGraphics(g_clientRect.right, g_clientRect.bottom);
    SetUpShow();
    if (g_musicWanted) StartMusic();
    // The demo has no console: the read returns -1 at once and initialisation never waits.
    return _getch();
}
