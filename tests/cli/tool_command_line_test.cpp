// Each tool run with a good and a bad command line, in an empty folder that must stay empty:
// help and version answer and write nothing; every mistake is one line naming it, the usage
// and status 2, and a word that looks like an option is never taken for a name to write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh empty folder the tool runs in, and a separate one for what it prints.
class Folders {
public:
    Folders() {
        char pattern[] = "/tmp/vrex-cli-XXXXXX";
        base_ = mkdtemp(pattern);
        fs::create_directory(Work());
        fs::create_directory(base_ / "output");
    }
    ~Folders() { fs::remove_all(base_); }
    fs::path Work() const { return base_ / "work"; }
    fs::path Output(const char* name) const { return base_ / "output" / name; }

private:
    fs::path base_;
};

ToolRun RunTool(const Folders& folders, const std::string& tool, const Words& words) {
    ToolRun run;
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv{const_cast<char*>(tool.c_str())};
        for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        if (chdir(folders.Work().c_str()) != 0 || !freopen(folders.Output("out").c_str(), "w", stdout) ||
            !freopen(folders.Output("err").c_str(), "w", stderr))
            _exit(127);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = ReadFile(folders.Output("out"));
    run.err = ReadFile(folders.Output("err"));
    return run;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

Words Entries(const fs::path& folder) {
    Words names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

struct Tool {
    const char* name;
    const char* path;
    // Command lines that are wrong in one way each, and what the first line must name.
    Words missingValue;
    Words strayArgument;
    const char* strayWord;
    Words optionAsName;  // a name to write that begins with '-'
};

const Tool TOOLS[] = {
    {"vrex-gen-data", GEN_DATA_TOOL, {}, {"out", "font.ttf", "surplus"}, "surplus", {"--", "-out"}},
    {"vrex-gen-music", GEN_MUSIC_TOOL, {}, {"out", "sound.sf2", "surplus"}, "surplus", {"--", "-out"}},
    {"vrex-inspect",
     INSPECT_TOOL,
     {"--pixels-out"},
     {"--check", ".", "surplus"},
     "surplus",
     {"--pixels-out=-pixels.bin", "some.tga"}},
    {"vrex-capture",
     CAPTURE_TOOL,
     {"--frames", "1", "--out"},
     {"--frames", "1", "--out", "frames", "surplus"},
     "surplus",
     {"--frames", "1", "--video=-show.mp4"}},
};

void PrintTo(const Tool& tool, std::ostream* out) { *out << tool.name; }

class ToolCommandLine : public ::testing::TestWithParam<Tool> {
protected:
    ToolRun RunIt(const Words& words) { return RunTool(folders_, GetParam().path, words); }
    void ExpectNothingWritten() { EXPECT_EQ(Entries(folders_.Work()), Words{}); }

    // One line saying what is wrong, led by the tool's name, then the usage; status 2.
    void ExpectUsageError(const ToolRun& run, const std::string& named) {
        const std::string name = GetParam().name;
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        const std::string first = FirstLine(run.err);
        EXPECT_EQ(first.rfind(name + ": ", 0), 0u) << first;
        EXPECT_NE(first.find(named), std::string::npos) << first;
        EXPECT_NE(run.err.find("Usage: " + name), std::string::npos) << run.err;
        ExpectNothingWritten();
    }

    Folders folders_;
};

TEST_P(ToolCommandLine, HelpPrintsTheUsageAndWritesNothing) {
    for (const char* help : {"--help", "-h"}) {
        SCOPED_TRACE(help);
        const ToolRun run = RunIt({help});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find(std::string("Usage: ") + GetParam().name), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
        ExpectNothingWritten();
    }
}

TEST_P(ToolCommandLine, VersionPrintsNameAndVersion) {
    const ToolRun run = RunIt({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string(GetParam().name) + " " PROJECT_VERSION_TEXT "\n");
    ExpectNothingWritten();
}

TEST_P(ToolCommandLine, MistakesAreNamedAndEndWithStatusTwo) {
    const Tool& tool = GetParam();
    struct Mistake {
        const char* what;
        Words words;
        std::string named;
    } mistakes[] = {
        {"unknown option", {"--no-such-option", "out"}, "--no-such-option"},
        {"unknown option with a value", {"--no-such-option=1", "out"}, "--no-such-option"},
        {"missing value", tool.missingValue, "required"},
        {"stray argument", tool.strayArgument, tool.strayWord},
        {"option-like name to write", tool.optionAsName, "looks like an option"},
    };
    for (const Mistake& mistake : mistakes) {
        SCOPED_TRACE(mistake.what);
        ExpectUsageError(RunIt(mistake.words), mistake.named);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTool, ToolCommandLine, ::testing::ValuesIn(TOOLS),
                         [](const ::testing::TestParamInfo<Tool>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

}  // namespace
