// Tallyvane: keeps the leases of a retail chain's stores.

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/registry/RegistrySettingsStore.h"
#include "program/shell/Autostart.h"
#include "program/shell/FirstRun.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(vb::App::ProductName()));
    QApplication::setOrganizationName(QString::fromStdString(vb::App::CompanyName()));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vb::App::Major()).arg(vb::App::Minor()).arg(vb::App::Revision()));

    // Settings and files first: everything after reads them.
    vb::SetSettingsStore(std::make_shared<winreg::RegistrySettingsStore>());
    const FirstRun::Report firstRun = FirstRun::Run();
    Autostart::Install();
    if (!firstRun.problems.empty()) {
        QString text;
        for (const auto& problem : firstRun.problems) {
            std::cerr << "tallyvane: " << problem << '\n';
            text += QString::fromStdString(problem) + "\n\n";
        }
        QMessageBox::warning(nullptr, QString::fromStdString(vb::App::Title()), text.trimmed());
    }

    // Nothing is shown yet: the program starts and leaves through the normal path.
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
