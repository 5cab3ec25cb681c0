// A message box that cannot be created: the full-screen question is asked on the terminal
// when standard input is one and answered No when it is not, so the display never switches
// without consent; every other box only prints its text.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "app/shell.h"
#include "tests/shell/stand_ins.h"

namespace {

const HINSTANCE INSTANCE = reinterpret_cast<HINSTANCE>(0x400000);
constexpr const char* QUESTION = "Click Yes to go to full screen (Recommended)";
constexpr UINT QUESTION_TYPE = MB_YESNO | MB_ICONQUESTION;

// Standard input replaced by `fd` for the life of the object.
class StdinFrom {
public:
    explicit StdinFrom(int fd) : saved_(dup(STDIN_FILENO)) { dup2(fd, STDIN_FILENO); }
    ~StdinFrom() {
        dup2(saved_, STDIN_FILENO);
        close(saved_);
    }

private:
    int saved_;
};

// A pseudo-terminal: what the user types goes in at the master, the code reads the slave.
struct Terminal {
    Terminal() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    }
    ~Terminal() {
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
    }
    void Type(const std::string& keys) const {
        ASSERT_EQ(write(master, keys.data(), keys.size()), ssize_t(keys.size()));
    }
    int master = -1;
    int slave = -1;
};

struct Pipe {
    Pipe() { ok = pipe(ends) == 0; }
    ~Pipe() {
        close(ends[0]);
        close(ends[1]);
    }
    int ends[2] = {-1, -1};
    bool ok;
};

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class BoxFallback : public testing::Test {
protected:
    void SetUp() override {
        stand_in::ResetAll();
        fake::g_answers.messageBoxFails = true;
        fake::g_answers.messageBox = IDYES;  // what a box would have said: never to be used here
    }
};

TEST_F(BoxFallback, OnATerminalTheQuestionIsAskedAndReturnTakesTheDefault) {
    struct Case {
        const char* typed;
        int answer;
        size_t questionsAsked;
    } cases[] = {
        {"\n", IDYES, 1},  // Return: the box's default button
        {"  \n", IDYES, 1},      {"y\n", IDYES, 1}, {"YES\n", IDYES, 1},
        {"n\n", IDNO, 1},        {"No\n", IDNO, 1}, {"\x1b\n", IDNO, 1},  // Escape, as on the box
        {"maybe\nn\n", IDNO, 2},                                          // anything else asks again
        {"\x04", IDNO, 1},                                                // end of input (Ctrl-D): no consent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.typed)));
        Terminal terminal;
        ASSERT_GE(terminal.slave, 0);
        StdinFrom input(terminal.slave);
        terminal.Type(c.typed);
        testing::internal::CaptureStderr();
        const int answer = MessageBoxA(nullptr, QUESTION, "Options", QUESTION_TYPE);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(Count(said, std::string("Options: ") + QUESTION), c.questionsAsked) << said;
        EXPECT_TRUE(fake::g_messageBoxes.empty());
    }
}

TEST_F(BoxFallback, WithoutATerminalTheQuestionIsAnsweredNoAndSaysSo) {
    Pipe pipe;
    ASSERT_TRUE(pipe.ok);
    ASSERT_EQ(write(pipe.ends[1], "y\n", 2), 2);  // a pipe is not someone answering
    int null = open("/dev/null", O_RDONLY);
    for (int fd : {pipe.ends[0], null}) {
        SCOPED_TRACE(fd == null ? "/dev/null" : "pipe");
        StdinFrom input(fd);
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(nullptr, QUESTION, "Options", QUESTION_TYPE), IDNO);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(std::string("Options: ") + QUESTION), std::string::npos) << said;
        EXPECT_NE(said.find("answered No"), std::string::npos) << said;
    }
    close(null);
    char left[2];
    EXPECT_EQ(read(pipe.ends[0], left, 2), 2) << "the pipe was read as if someone had typed";
}

TEST_F(BoxFallback, OtherBoxesPrintCaptionAndTextAndReadNothing) {
    Terminal terminal;
    ASSERT_GE(terminal.slave, 0);
    StdinFrom input(terminal.slave);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Display Mode Not Compatible", "Error", MB_OK), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Display Mode Not Compatible\n");
}

TEST_F(BoxFallback, AQuestionNobodyCouldAnswerNeverSwitchesTheDisplay) {
    struct Case {
        bool terminal;
        const char* typed;
        bool fullScreen;
    } cases[] = {{false, "", false}, {true, "n\n", false}, {true, "\n", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terminal ? c.typed : "no terminal");
        stand_in::ResetAll();
        fake::g_answers.messageBoxFails = true;
        fake::g_answers.messageBox = IDYES;
        fake::g_answers.createWindowFails = true;
        Terminal terminal;
        int null = open("/dev/null", O_RDONLY);
        StdinFrom input(c.terminal ? terminal.slave : null);
        if (c.terminal) terminal.Type(c.typed);
        testing::internal::CaptureStderr();
        WinMain(INSTANCE, nullptr, nullptr, SW_SHOWNORMAL);
        testing::internal::GetCapturedStderr();
        close(null);
        EXPECT_EQ(g_fullScreen, c.fullScreen);
        EXPECT_EQ(fake::CallsNamed("ChangeDisplaySettingsA").size(), c.fullScreen ? 1u : 0u);
    }
}

}  // namespace
