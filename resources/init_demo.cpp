// Demo initialisation; the sine table, the model, lighting, the quadric, the height map, the
// images and the music start grow here. For now: the window and the rendering context.
#include "app/shell.h"
#include "resources/textures.h"

HWND g_hwnd = nullptr;
RECT g_clientRect = {};

int InitDemo(HWND window) {
    g_hwnd = window;
    GetClientRect(window, &g_clientRect);
    InitGraphics(g_clientRect.right, g_clientRect.bottom);
    return _getch();
}
