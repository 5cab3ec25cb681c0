// box_fallback.h - what a message box answers when it cannot be created (no display, or an X
// server without the core fonts SDL draws with). Shared by the SDL layer and the fake.
//
// A Yes/No question never takes an answer nobody gave: with a terminal on standard input it is
// asked there (Return answers Yes, the box's default button); with none it answers No and says
// so on standard error. Any other box prints "caption: text" on standard error and answers 0,
// MessageBoxA's failure.
#pragma once

#include "platform/platform.h"

int AnswerWithoutBox(const char* text, const char* caption, UINT type);
