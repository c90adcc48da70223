// Tallyvane: keeps the leases of a retail chain's stores.

#include "platform/basic/App.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(vb::App::ProductName()));
    QApplication::setOrganizationName(QString::fromStdString(vb::App::CompanyName()));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vb::App::Major()).arg(vb::App::Minor()).arg(vb::App::Revision()));

    // Nothing is shown yet: the program starts and leaves through the normal path.
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
