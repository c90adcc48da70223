// Tallyvane: keeps the leases of a retail chain's stores.

#include "platform/basic/App.h"
#include "platform/basic/MemoryTuning.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/registry/RegistrySettingsStore.h"
#include "program/shell/Mod_tallyvane.h"
#include "program/shell/RunningCopy.h"

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Runtime.h"

#include <QApplication>

#include <exception>
#include <memory>

int main(int argc, char** argv)
{
    vb::TuneMemoryForLargeBuffers();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(vb::App::ProductName()));
    QApplication::setOrganizationName(QString::fromStdString(vb::App::CompanyName()));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vb::App::Major()).arg(vb::App::Minor()).arg(vb::App::Revision()));

    // One copy runs per program folder, held until the very end: a later
    // start brings that copy's main window forward and ends. A start that
    // finds the copy it called gone meanwhile runs itself.
    RunningCopy copy(vb::AppPaths::ProgramFolder());
    if (!copy.First()) {
        copy.CallFirst();
        if (!copy.First())
            return 0;
    }
    copy.Listen([] { Mod_tallyvane::ComeForward(); });

    // The forms hold widgets: every one of them goes while the application
    // object is still there, however the program ends.
    struct FormsGoFirst {
        ~FormsGoFirst() { Mod_tallyvane::UnloadEveryForm(); }
    } formsGoFirst;

    // Settings and files first: everything after reads them.
    vb::SetSettingsStore(std::make_shared<winreg::RegistrySettingsStore>());
    // The program lives while any of its forms is loaded; the hidden main
    // window keeps it running with no window on show.
    forms::InstallErrorHandler();
    try {
        if (!Mod_tallyvane::Start())
            return 1;
    } catch (const vb::RuntimeError& e) {
        // An error the start could not get past ends the program with the
        // runtime's message.
        vb::ReportUnhandledError(e);
        return 1;
    } catch (const std::exception& e) {
        vb::ReportUnhandledError(vb::RuntimeError(vb::kErrInvalidCall, e.what()));
        return 1;
    }
    return forms::Run();
}
