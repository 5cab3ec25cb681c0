// Modal message boxes over SDL2. SDL shows them without a started video subsystem too, so the
// full-screen question can come before anything else.
#include "platform/box_fallback.h"
#include "platform/sdl_internal.h"

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    const char* message = text ? text : "";
    const char* title = caption ? caption : "Error";

    // Return answers Yes and Escape No; an OK box's one button takes both keys.
    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"},
    };
    bool askYesNo = (type & MB_YESNO) == MB_YESNO;

    SDL_MessageBoxData box = {};
    box.flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT | ((type & MB_ICONQUESTION) ? SDL_MESSAGEBOX_INFORMATION : 0);
    box.window = owner ? owner->sdl : nullptr;
    box.title = title;
    box.message = message;
    box.numbuttons = askYesNo ? 2 : 1;
    box.buttons = askYesNo ? yesNo : ok;

    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) return AnswerWithoutBox(message, title, type);
    if (pressed < 0) return askYesNo ? IDNO : IDOK;  // closed by its frame: the Escape answer
    return pressed;
}
