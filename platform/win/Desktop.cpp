#include "platform/win/Desktop.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <cstdio>

namespace win {

namespace {

bool headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

class DesktopUrlOpener : public UrlOpener {
public:
    bool Open(const std::string& url) override
    {
        if (headless()) {
            std::fprintf(stderr, "[headless] not opening %s\n", url.c_str());
            return false;
        }
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
    }
};

class DesktopProcessLauncher : public ProcessLauncher {
public:
    bool Start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingFolder) override
    {
        if (headless()) {
            std::fprintf(stderr, "[headless] not starting %s\n", program.c_str());
            return false;
        }
        QStringList args;
        for (const auto& a : arguments)
            args << QString::fromStdString(a);
        return QProcess::startDetached(QString::fromStdString(program), args, QString::fromStdString(workingFolder));
    }
};

std::shared_ptr<UrlOpener>& urlOpener()
{
    static std::shared_ptr<UrlOpener> opener = std::make_shared<DesktopUrlOpener>();
    return opener;
}

std::shared_ptr<ProcessLauncher>& processLauncher()
{
    static std::shared_ptr<ProcessLauncher> launcher = std::make_shared<DesktopProcessLauncher>();
    return launcher;
}

} // namespace

void SetUrlOpener(std::shared_ptr<UrlOpener> opener)
{
    urlOpener() = opener ? std::move(opener) : std::make_shared<DesktopUrlOpener>();
}

void SetProcessLauncher(std::shared_ptr<ProcessLauncher> launcher)
{
    processLauncher() = launcher ? std::move(launcher) : std::make_shared<DesktopProcessLauncher>();
}

bool OpenUrl(const std::string& url)
{
    auto opener = urlOpener();
    return opener->Open(url);
}

std::string FileUrl(const std::string& path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded).toStdString();
}

bool StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingFolder)
{
    auto launcher = processLauncher();
    return launcher->Start(program, arguments, workingFolder);
}

} // namespace win
