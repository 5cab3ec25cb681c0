// The process entry point: the command line, then the demo's start-up, WinMain's as it always was.
#include "app/options.h"
#include "app/shell.h"
#include "cli/command_line.h"

int main(int argc, char** argv) {
    if (int status = ParseDemoOptions(argc, argv, &g_options); status != GO_ON) return status;
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
}
