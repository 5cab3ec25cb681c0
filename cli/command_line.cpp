// The shared command-line rules; see command_line.h.
#include "cli/command_line.h"

#include <cstdio>

const char* VrexVersion() { return VREX_VERSION; }

const CLI::Validator NOT_AN_OPTION(
    [](std::string& value) -> std::string {
        if (!value.empty() && value[0] == '-') return "'" + value + "' looks like an option, not a name";
        return {};
    },
    "", "NOT_AN_OPTION");

std::string UsageText(const CLI::App& app) { return app.help(); }

namespace {

// CLI11 checks required arguments before it complains of unknown ones, which would answer a
// typo with "OUTDIR is required"; the unknown option is the mistake to name.
std::string FirstUnknownOption(const CLI::App& app, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--") break;
        if (word.size() < 2 || word[0] != '-') continue;
        std::string name = word.substr(0, word.find('='));
        if (!app.get_option_no_throw(name)) return name;
    }
    return {};
}

int UsageError(const CLI::App& app, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", app.get_name().c_str(), what.c_str());
    std::fputs(UsageText(app).c_str(), stderr);
    return EXIT_USAGE;
}

}  // namespace

int ParseCommandLine(CLI::App& app, int argc, char** argv) {
    if (!app.get_version_ptr()) app.set_version_flag("--version", app.get_name() + " " + VrexVersion());
    if (std::string unknown = FirstUnknownOption(app, argc, argv); !unknown.empty())
        return UsageError(app, "unknown option " + unknown);
    try {
        app.parse(argc, argv);
        return GO_ON;
    } catch (const CLI::CallForHelp&) {
        std::fputs(UsageText(app).c_str(), stdout);
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        std::fputs(UsageText(app).c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion& version) {
        std::printf("%s\n", version.what());
        return 0;
    } catch (const CLI::ParseError& error) {
        return UsageError(app, error.what());
    }
}
