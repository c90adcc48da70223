// quorvel-design [template.kzt]
// One button of the button library in a window, in design mode, for people
// who style buttons: its property editor (double click, or Button >
// Properties), grips to resize it, its templates (File > Open, File > Save)
// and Button > Run to try it. The library beside the tool (lib/libquorvel.so
// next to its bin) is registered in the tool's own registry store,
// $XDG_CONFIG_HOME/quorvel-design, so a Tallyvane of another build keeps
// its own. A template given on the command line is loaded at the start.

#include "tools/design/DesignWindow.h"

#include "platform/basic/App.h"
#include "platform/com/Loader.h"
#include "platform/com/Registration.h"
#include "platform/win/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kButtonProgId = "LUMVEX.LumvexCtrl.4";

std::string hresultText(HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
    return code;
}

fs::path ownConfigFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return fs::path(base.toStdString()) / "quorvel-design";
}

// The button's class, registered to the library given when it is not yet.
HRESULT registerButtonClass(const fs::path& library, CLSID* clsid)
{
    if (SUCCEEDED(CLSIDFromProgID(kButtonProgId, clsid))) {
        const auto server = com::ClassesRootValue(com::ClassKey(*clsid) + "\\InprocServer32");
        std::error_code ec;
        if (server && fs::equivalent(*server, library, ec))
            return S_OK;
    }
    if (const HRESULT hr = com::RegisterServer(library); hr != S_OK)
        return FAILED(hr) ? hr : E_FAIL;
    return CLSIDFromProgID(kButtonProgId, clsid);
}

class BoxesOverWindow final : public win::MessageBoxPort {
public:
    explicit BoxesOverWindow(QWidget* window) : window_(window) {}
    int Show(const win::MessageBoxRequest& request) override
    {
        win::MessageBoxRequest owned = request;
        if (!owned.owner)
            owned.owner = QApplication::activeModalWidget();
        if (!owned.owner)
            owned.owner = window_;
        return win::ShowDesktopMessageBox(owned);
    }

private:
    QPointer<QWidget> window_;
};

int fail(const QString& text)
{
    std::fprintf(stderr, "quorvel-design: %s\n", text.toLocal8Bit().constData());
    QMessageBox::critical(nullptr, QStringLiteral("Quorvel Design"), text);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel-design"));
    if (argc > 2) {
        std::fprintf(stderr, "usage: quorvel-design [template.kzt]\n");
        return 2;
    }

    const fs::path config = ownConfigFolder();
    std::error_code ec;
    fs::create_directories(config, ec);
    vb::AppPaths::SetConfigFolder(config);
    const fs::path library =
        (fs::path(QCoreApplication::applicationDirPath().toStdString()).parent_path() / "lib" / "libquorvel.so")
            .lexically_normal();
    if (!fs::is_regular_file(library, ec))
        return fail(QStringLiteral("The button library %1 is missing.").arg(QString::fromStdString(library.string())));
    CLSID clsid{};
    if (const HRESULT hr = registerButtonClass(library, &clsid); FAILED(hr))
        return fail(QStringLiteral("The button library %1 cannot be registered in %2 (error %3).")
                        .arg(QString::fromStdString(library.string()),
                             QString::fromStdString(vb::AppPaths::RegistryFile().string()),
                             QString::fromStdString(hresultText(hr))));

    design::DesignWindow window;
    if (const HRESULT hr = window.CreateButton(clsid); FAILED(hr))
        return fail(QStringLiteral("The button library cannot make a button (error %1).")
                        .arg(QString::fromStdString(hresultText(hr))));
    // Every box of the tool and of its button opens over the window it
    // belongs to: the dialog on top, else the tool's window.
    win::SetMessageBoxPort(std::make_shared<BoxesOverWindow>(&window));
    window.show();
    if (argc == 2)
        window.OpenAtStart(fs::absolute(argv[1], ec));
    const int result = app.exec();
    win::SetMessageBoxPort(nullptr);
    return result;
}
