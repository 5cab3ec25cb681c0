// The process entry point: the demo's start-up is WinMain's, as it always was.
#include "app/shell.h"

int main() { return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL); }
