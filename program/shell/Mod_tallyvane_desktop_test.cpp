// The program's end, on the program itself on a desktop of its own: closed
// by its user, or ended by an error at its start. Built with the
// sanitizers, it must end without a report from them, with its own status.

#include "platform/testing/TempRoot.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// The program started with a home folder of its own; its windows go to the
// test's desktop.
class ProgramRun {
public:
    explicit ProgramRun(const fs::path& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QString::fromStdString(home.string()));
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            env.remove(name);
        const fs::path runtime = home / "run";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(QString::fromStdString(home.string()));
        process_.start(TV_TALLYVANE_BINARY, {});
    }
    ~ProgramRun()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    bool Started() { return process_.waitForStarted(); }
    bool Running() const { return process_.state() == QProcess::Running; }
    bool WaitForEnd(int milliseconds) { return process_.waitForFinished(milliseconds); }
    QProcess& Process() { return process_; }
    qint64 Id() const { return process_.processId(); }

    // What the program wrote to its error output; read once it has ended.
    std::string Errors()
    {
        errors_ += process_.readAllStandardError().toStdString();
        return errors_;
    }

private:
    QProcess process_;
    std::string errors_;
};

// Runs xdotool with the arguments; its output, or nothing when it failed.
std::optional<std::string> xdotool(const QStringList& arguments, int milliseconds = 20000)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(milliseconds)) {
        tool.kill();
        tool.waitForFinished();
        return std::nullopt;
    }
    if (tool.exitCode() != 0)
        return std::nullopt;
    return tool.readAllStandardOutput().trimmed().toStdString();
}

// The program's visible window of that exact name, once it is there.
std::optional<std::string> windowNamed(ProgramRun& run, const std::string& name)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000 && run.Running()) {
        // --all: both the process and the name must match.
        const auto found =
            xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(run.Id()), QStringLiteral("--name"),
                     QString::fromStdString("^" + name + "$")});
        if (found && !found->empty())
            return found->substr(0, found->find('\n'));
        QThread::msleep(200);
    }
    return std::nullopt;
}

// Closes a window as its user does: made active, then the window manager's
// close key.
bool closeAsUser(const std::string& window)
{
    return xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::fromStdString(window),
                    QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")})
        .has_value();
}

// The program's main window, that one, is on show; false once the time is up.
bool mainWindowShown(ProgramRun& run, const std::string& window, int milliseconds = 30000)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < milliseconds) {
        const auto visible =
            xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(run.Id()), QStringLiteral("--name"),
                     QStringLiteral("^Tallyvane$")});
        if (visible && visible->find(window) != std::string::npos)
            return true;
        QThread::msleep(200);
    }
    return false;
}

void expectNoSanitizerReport(const std::string& errors)
{
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"})
        EXPECT_EQ(errors.find(report), std::string::npos) << errors;
}

} // namespace

TEST(ProgramEnd, ClosingItsWindowsEndsTheProgramWithoutAReport)
{
    tv::testing::TempRoot root;
    ProgramRun run(root.Path() / "home");
    ASSERT_TRUE(run.Started());
    // A first start shows the tip over the main window; this desktop has no
    // notification area, so closing the main window ends the program.
    const auto tip = windowNamed(run, "Tip of the Day");
    ASSERT_TRUE(tip) << run.Errors();
    ASSERT_TRUE(closeAsUser(*tip));
    const auto main = windowNamed(run, "Tallyvane");
    ASSERT_TRUE(main) << run.Errors();
    ASSERT_TRUE(closeAsUser(*main));

    ASSERT_TRUE(run.WaitForEnd(60000)) << "the program did not end";
    EXPECT_EQ(run.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.Process().exitCode(), 0) << run.Errors();
    expectNoSanitizerReport(run.Errors());
}

TEST(ProgramEnd, AnErrorAtTheStartEndsTheProgramWithoutACrash)
{
    tv::testing::TempRoot root;
    const fs::path home = root.Path() / "home";
    // The buttons' class registered to a file that is no library: the tip
    // window, opened after the main window, cannot be made.
    const fs::path junk = home / "junk.so";
    fs::create_directories(home / ".config" / "tallyvane");
    std::ofstream(junk) << "not a library\n";
    std::ofstream(home / ".config" / "tallyvane" / "registry.txt")
        << "TALLYVANE-REGISTRY 1\n"
           "[HKEY_CLASSES_ROOT\\LUMVEX.LumvexCtrl.4\\CLSID]\n"
           "@=\"{40B5CE81-C5A8-11D2-8183-00002440DFD8}\"\n"
           "[HKEY_CLASSES_ROOT\\CLSID\\{40B5CE81-C5A8-11D2-8183-00002440DFD8}\\InprocServer32]\n"
           "@=\""
        << junk.string()
        << "\"\n"
           "; end\n";

    ProgramRun run(home);
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(windowNamed(run, "Tallyvane")) << run.Errors();
    // The runtime's error box is answered as its user answers it.
    QElapsedTimer waited;
    waited.start();
    while (!run.WaitForEnd(1000) && waited.elapsed() < 60000)
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Return")});

    ASSERT_FALSE(run.Running()) << "the program did not end";
    EXPECT_EQ(run.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.Process().exitCode(), 1) << run.Errors();
    expectNoSanitizerReport(run.Errors());
}

// A second start on the program folder of a running copy: the running
// copy's main window comes forward, out of hiding, and the second start
// ends at once without a window or a word.
TEST(SecondStart, BringsTheRunningCopyForwardAndEnds)
{
    tv::testing::TempRoot root;
    const fs::path home = root.Path() / "home";
    ProgramRun first(home);
    ASSERT_TRUE(first.Started());
    const auto tip = windowNamed(first, "Tip of the Day");
    ASSERT_TRUE(tip) << first.Errors();
    ASSERT_TRUE(closeAsUser(*tip));
    const auto main = windowNamed(first, "Tallyvane");
    ASSERT_TRUE(main) << first.Errors();
    ASSERT_TRUE(xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), QString::fromStdString(*main)}));

    ProgramRun second(home);
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(second.WaitForEnd(60000)) << "the second start did not end";
    EXPECT_EQ(second.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.Process().exitCode(), 0) << second.Errors();
    expectNoSanitizerReport(second.Errors());

    EXPECT_TRUE(mainWindowShown(first, *main)) << "the running copy's window did not come back";
    QElapsedTimer waited;
    waited.start();
    std::optional<std::string> active;
    while (waited.elapsed() < 30000 && (active = xdotool({QStringLiteral("getactivewindow")})) != main)
        QThread::msleep(200);
    EXPECT_EQ(active, main) << "the running copy's window is not the active one";
    ASSERT_TRUE(first.Running());

    ASSERT_TRUE(closeAsUser(*main));
    ASSERT_TRUE(first.WaitForEnd(60000));
    EXPECT_EQ(first.Process().exitCode(), 0) << first.Errors();
    expectNoSanitizerReport(first.Errors());
}

// Two starts at the same moment on one fresh program folder: one runs, the
// other ends.
TEST(SecondStart, OfTwoStartsAtOnceOneRuns)
{
    tv::testing::TempRoot root;
    const fs::path home = root.Path() / "home";
    ProgramRun a(home);
    ProgramRun b(home);
    ASSERT_TRUE(a.Started());
    ASSERT_TRUE(b.Started());
    QElapsedTimer waited;
    waited.start();
    while (a.Running() && b.Running() && waited.elapsed() < 60000) {
        a.WaitForEnd(100);
        b.WaitForEnd(100);
    }
    ASSERT_NE(a.Running(), b.Running()) << "both ended, or both still run";
    ProgramRun& ended = a.Running() ? b : a;
    ProgramRun& runs = a.Running() ? a : b;
    EXPECT_EQ(ended.Process().exitCode(), 0) << ended.Errors();
    expectNoSanitizerReport(ended.Errors());

    const auto tip = windowNamed(runs, "Tip of the Day");
    ASSERT_TRUE(tip) << runs.Errors();
    ASSERT_TRUE(closeAsUser(*tip));
    const auto main = windowNamed(runs, "Tallyvane");
    ASSERT_TRUE(main) << runs.Errors();
    EXPECT_TRUE(runs.Running());
    ASSERT_TRUE(closeAsUser(*main));
    ASSERT_TRUE(runs.WaitForEnd(60000));
    EXPECT_EQ(runs.Process().exitCode(), 0) << runs.Errors();
    expectNoSanitizerReport(runs.Errors());
}
