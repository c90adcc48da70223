// The program's start as a whole process (settings, first-run files, the
// database opened, the calendar window loaded, filled from the example data
// and shown, the tray icon) next to a process that shows a bare Qt window:
// both are this executable, started again with a mode argument, so both
// load the same libraries. Each child ends itself once its window is up.
// Offscreen; the ratio is printed last.

#include "platform/basic/App.h"
#include "platform/basic/MemoryTuning.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/registry/RegistrySettingsStore.h"
#include "program/services/Mod_tallyvane_Values.h"
#include "program/shell/FirstRun.h"
#include "program/shell/Mod_tallyvane.h"
#include "tools/DatabaseBuilder.h"

#include "BenchDatabase.h"
#include "ChildProcess.h"
#include "RatioReporter.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

int bareWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.setWindowTitle(QStringLiteral("Bare"));
    window.show();
    QApplication::processEvents();
    std::fflush(stdout);
    std::_Exit(0);
}

int tallyvane(int argc, char** argv, const char* root)
{
    vb::TuneMemoryForLargeBuffers(); // as main does
    QApplication app(argc, argv);
    vb::AppPaths::UseRoot(root);
    vb::SetSettingsStore(std::make_shared<winreg::RegistrySettingsStore>());
    FirstRun::Run();
    if (!Mod_tallyvane::Main())
        std::_Exit(1);
    QApplication::processEvents();
    std::fflush(stdout);
    std::_Exit(0);
}

// The program folder with both databases and the install folder with the
// background picture, made once.
class StartRoot {
public:
    StartRoot()
    {
        vb::AppPaths::UseRoot(root_.Path());
        fs::create_directories(vb::AppPaths::ProgramFolder());
        fs::create_directories(vb::AppPaths::InstallFolder());
        fs::create_directories(vb::AppPaths::ConfigFolder());
        const std::string schema = tv::tools::ReadTextFile(fs::path(TV_DATA_DIR) / "schema.sql");
        const std::string example = tv::tools::ReadTextFile(fs::path(TV_DATA_DIR) / "example.sql");
        const auto today = tv::tools::Today();
        tv::tools::BuildDatabase(vb::AppPaths::ProgramFolder() / Mod_tallyvane::kDatabaseFileName, schema,
                                 std::nullopt, today);
        tv::tools::BuildDatabase(vb::AppPaths::ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName, schema,
                                 example, today);
        // The install folder as installed: the background picture, which the
        // first start copies over, the windows' pictures and the buttons'
        // design data, which the tip window reads at every start.
        for (const char* file : {"DefaultBGImage.jpg", "LightBulb.png", "AboutVane.png"})
            fs::copy_file(fs::path(TV_SHARE_DIR) / file, vb::AppPaths::InstallFolder() / file);
        fs::copy(fs::path(TV_SHARE_DIR) / "forms", vb::AppPaths::InstallFolder() / "forms", fs::copy_options::recursive);
    }
    const fs::path& Path() const { return root_.Path(); }

private:
    bench::TempFolder root_;
};

const StartRoot& startRoot()
{
    static StartRoot root;
    return root;
}

bool runSelf(const std::string& mode)
{
    return bench::RunProcess({fs::read_symlink("/proc/self/exe").string(), mode, startRoot().Path().string()});
}

void runChild(benchmark::State& state, const char* mode)
{
    // The first start writes the settings the installer would have: the
    // timed starts find them, as every start but the first does.
    if (!runSelf(mode)) {
        state.SkipWithError("the child did not start");
        return;
    }
    for (auto _ : state) {
        if (!runSelf(mode)) {
            state.SkipWithError("the child failed");
            break;
        }
    }
}

void BM_TallyvaneStart(benchmark::State& state)
{
    runChild(state, "--tallyvane");
}
BENCHMARK(BM_TallyvaneStart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BareQtWindow(benchmark::State& state)
{
    runChild(state, "--bare-window");
}
BENCHMARK(BM_BareQtWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--bare-window") == 0)
        return bareWindow(1, argv);
    if (argc == 3 && std::strcmp(argv[1], "--tallyvane") == 0)
        return tallyvane(1, argv, argv[2]);
    return bench::RunWithRatios(
        argc, argv, {{"BM_TallyvaneStart/real_time", "BM_BareQtWindow/real_time", "program start / bare Qt window"}});
}
