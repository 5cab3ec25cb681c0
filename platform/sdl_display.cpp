// The display mode over SDL2. A mode accepted by ChangeDisplaySettingsA takes effect when the
// full-screen popup window is shown (SDL switches modes for full-screen windows only), and is
// given back by a restore, by leaving full screen, or by the exit handler.
#include <vector>

#include "platform/sdl_internal.h"

namespace sdl_platform {
namespace {

constexpr int PRIMARY_DISPLAY = 0;

bool modePending = false;  // a temporary mode was accepted and not given back yet
SDL_DisplayMode pendingMode;

DEVMODEA ToDevMode(const SDL_DisplayMode& mode) {
    return DEVMODEA{DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY,
                    DWORD(SDL_BITSPERPIXEL(mode.format)), DWORD(mode.w), DWORD(mode.h), DWORD(mode.refresh_rate)};
}

// The modes the display offers: its list, and the desktop mode, which a display that lists
// nothing (SDL's offscreen driver) still has.
std::vector<SDL_DisplayMode> OfferedModes() {
    std::vector<SDL_DisplayMode> modes;
    SDL_DisplayMode mode;
    int count = SDL_GetNumDisplayModes(PRIMARY_DISPLAY);
    for (int i = 0; i < count; ++i)
        if (SDL_GetDisplayMode(PRIMARY_DISPLAY, i, &mode) == 0) modes.push_back(mode);
    if (SDL_GetDesktopDisplayMode(PRIMARY_DISPLAY, &mode) == 0) modes.push_back(mode);
    return modes;
}

// A mode the display offers with exactly the wanted resolution, preferring the wanted colour
// depth and refresh rate; false when it offers no such resolution.
bool FindOfferedMode(const DEVMODEA& wanted, SDL_DisplayMode* found) {
    bool any = false;
    for (const SDL_DisplayMode& offered : OfferedModes()) {
        if (DWORD(offered.w) != wanted.dmPelsWidth || DWORD(offered.h) != wanted.dmPelsHeight) continue;
        DEVMODEA asRecord = ToDevMode(offered);
        bool sameDepth = asRecord.dmBitsPerPel == wanted.dmBitsPerPel;
        bool sameRate = asRecord.dmDisplayFrequency == wanted.dmDisplayFrequency;
        if (!any || (sameDepth && sameRate)) *found = offered;
        any = true;
        if (sameDepth && sameRate) break;
    }
    return any;
}

bool IsFullScreen(PlatformWindow* window) {
    return window && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN) == SDL_WINDOW_FULLSCREEN;
}

}  // namespace

Uint32 FullScreenFlags(DWORD style, int width, int height) {
    if (!(style & WS_POPUP)) return 0;
    if (modePending) return SDL_WINDOW_FULLSCREEN;
    SDL_DisplayMode desktop;
    bool coversDesktop =
        SDL_GetDesktopDisplayMode(PRIMARY_DISPLAY, &desktop) == 0 && desktop.w == width && desktop.h == height;
    return coversDesktop ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
}

void ApplyPendingMode(PlatformWindow* window) {
    if (modePending && IsFullScreen(window)) SDL_SetWindowDisplayMode(window->sdl, &pendingMode);
}

void RestoreDisplayMode() {
    modePending = false;
    PlatformWindow* window = TheWindow();
    if (IsFullScreen(window)) SDL_SetWindowFullscreen(window->sdl, 0);
}

}  // namespace sdl_platform

using namespace sdl_platform;

BOOL EnumDisplaySettingsA(const char*, DWORD modeNumber, DEVMODEA* mode) {
    if (!mode || !StartVideo()) return FALSE;
    SDL_DisplayMode current;
    int result = modeNumber == ENUM_CURRENT_SETTINGS ? SDL_GetCurrentDisplayMode(PRIMARY_DISPLAY, &current)
                                                     : SDL_GetDisplayMode(PRIMARY_DISPLAY, int(modeNumber), &current);
    if (result != 0) return FALSE;
    *mode = ToDevMode(current);
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    if (!mode) {
        RestoreDisplayMode();
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!StartVideo()) return DISP_CHANGE_FAILED;
    SDL_DisplayMode offered;
    if (!FindOfferedMode(*mode, &offered)) return DISP_CHANGE_BADMODE;
    pendingMode = offered;
    modePending = true;
    if (PlatformWindow* window = TheWindow()) {  // a window that already exists switches now
        if (SDL_SetWindowDisplayMode(window->sdl, &pendingMode) != 0 ||
            SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN) != 0) {
            modePending = false;
            return DISP_CHANGE_FAILED;
        }
    }
    return DISP_CHANGE_SUCCESSFUL;
}
