#include "platform/forms/CommonDialog.h"

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Printer.h"
#include "platform/forms/Runtime.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <filesystem>

namespace forms {

namespace {

bool headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

QString joinedFilters(const std::string& filter, int index, QString* selected)
{
    QStringList list;
    for (const auto& f : QtNameFilters(filter))
        list << QString::fromStdString(f);
    if (selected && index >= 1 && index <= list.size())
        *selected = list[index - 1];
    return list.join(QStringLiteral(";;"));
}

class DesktopDialogs : public DialogPort {
public:
    std::optional<std::string> OpenFile(const FileDialogRequest& r) override
    {
        if (headless())
            return std::nullopt;
        QString selected;
        const QString filters = joinedFilters(r.filter, r.filterIndex, &selected);
        detail::HandlerScope scope;
        QFileDialog dialog(nullptr, QString::fromStdString(r.title), startPath(r), filters);
        // Our own dialog on every desktop, so that it looks and behaves alike.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!selected.isEmpty())
            dialog.selectNameFilter(selected);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first().toStdString();
    }

    std::optional<std::string> SaveFile(const FileDialogRequest& r) override
    {
        if (headless())
            return std::nullopt;
        QString selected;
        const QString filters = joinedFilters(r.filter, r.filterIndex, &selected);
        detail::HandlerScope scope;
        QFileDialog dialog(nullptr, QString::fromStdString(r.title), startPath(r), filters);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // Callers that give flags ask for the overwrite prompt themselves.
        if (r.flags != 0 && !(r.flags & OFN_OVERWRITEPROMPT))
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!r.defaultExt.empty())
            dialog.setDefaultSuffix(QString::fromStdString(r.defaultExt).remove(0, r.defaultExt[0] == '.' ? 1 : 0));
        if (!selected.isEmpty())
            dialog.selectNameFilter(selected);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first().toStdString();
    }

    std::optional<OLE_COLOR> ChooseColor(OLE_COLOR initial) override
    {
        if (headless())
            return std::nullopt;
        detail::HandlerScope scope;
        const QColor c = QColorDialog::getColor(ToQColor(initial), nullptr, QString(), QColorDialog::DontUseNativeDialog);
        if (!c.isValid())
            return std::nullopt;
        return ToOleColor(c);
    }

    std::optional<QFont> ChooseFont(const QFont& initial) override
    {
        if (headless())
            return std::nullopt;
        detail::HandlerScope scope;
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial);
        if (!ok)
            return std::nullopt;
        return f;
    }

    std::optional<std::string> ChoosePrinter(const std::string& current) override
    {
        QPrinter printer;
        if (!printDialogAccepted(current, printer))
            return std::nullopt;
        return printer.printerName().toStdString();
    }

    std::optional<PrintTarget> ChoosePrintTarget(const std::string& current) override
    {
        QPrinter printer;
        if (!printDialogAccepted(current, printer))
            return std::nullopt;
        // "Print to File (PDF)" names a file instead of a printer.
        if (printer.outputFormat() == QPrinter::PdfFormat)
            return PrintTarget{{}, true, printer.outputFileName().toStdString()};
        return PrintTarget{printer.printerName().toStdString(), false, {}};
    }

    std::vector<std::string> PrinterNames() override
    {
        std::vector<std::string> names;
        for (const QString& n : QPrinterInfo::availablePrinterNames())
            names.push_back(n.toStdString());
        return names;
    }

    std::string DefaultPrinterName() override { return QPrinterInfo::defaultPrinterName().toStdString(); }

private:
    static QString startPath(const FileDialogRequest& r)
    {
        if (!r.fileName.empty())
            return QString::fromStdString((std::filesystem::path(r.initDir) / r.fileName).string());
        return QString::fromStdString(r.initDir);
    }

    // The print dialog on printer, starting at the current printer; false
    // when it is cancelled or there is no screen to show it on.
    static bool printDialogAccepted(const std::string& current, QPrinter& printer)
    {
        if (headless())
            return false;
        if (!current.empty())
            printer.setPrinterName(QString::fromStdString(current));
        QPrintDialog dialog(&printer);
        detail::HandlerScope scope;
        return dialog.exec() == QDialog::Accepted;
    }
};

std::shared_ptr<DialogPort>& port()
{
    static std::shared_ptr<DialogPort> p = std::make_shared<DesktopDialogs>();
    return p;
}

template <class T>
std::optional<T> next(std::deque<std::optional<T>>& queue)
{
    if (queue.empty())
        return std::nullopt;
    auto v = queue.front();
    queue.pop_front();
    return v;
}

} // namespace

void SetDialogPort(std::shared_ptr<DialogPort> p)
{
    port() = p ? std::move(p) : std::make_shared<DesktopDialogs>();
}

DialogPort& Dialogs()
{
    return *port();
}

std::vector<std::string> QtNameFilters(const std::string& filter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size()) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    const auto trimmed = [](std::string s) {
        const size_t first = s.find_first_not_of(' ');
        if (first == std::string::npos)
            return std::string();
        return s.substr(first, s.find_last_not_of(' ') - first + 1);
    };
    std::vector<std::string> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = trimmed(parts[i]);
        std::string patterns;
        size_t from = 0;
        while (from <= parts[i + 1].size()) {
            const size_t semi = parts[i + 1].find(';', from);
            std::string p = trimmed(parts[i + 1].substr(from, semi == std::string::npos ? std::string::npos : semi - from));
            if (p == "*.*")
                p = "*";
            if (!p.empty())
                patterns += (patterns.empty() ? "" : " ") + p;
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
        // The empty pair that closes the string.
        if (description.empty() && patterns.empty())
            continue;
        if (!description.empty() && description.back() == ')') {
            const size_t open = description.rfind('(');
            if (open != std::string::npos)
                description = trimmed(description.substr(0, open));
        }
        if (patterns.empty())
            patterns = "*";
        out.push_back(description.empty() ? "(" + patterns + ")" : description + " (" + patterns + ")");
    }
    return out;
}

CommonDialog::CommonDialog(Container&, std::string name)
    : name_(std::move(name))
{
}

void CommonDialog::cancelled()
{
    if (CancelError)
        vb::Raise(cdlCancel, "Cancel was selected.");
}

void CommonDialog::ShowOpen()
{
    auto p = port();
    const auto f = p->OpenFile({DialogTitle, InitDir, FileName, Filter, FilterIndex, DefaultExt});
    if (!f)
        return cancelled();
    FileName = *f;
    FileTitle = std::filesystem::path(*f).filename().string();
}

void CommonDialog::ShowSave()
{
    auto p = port();
    auto f = p->SaveFile({DialogTitle, InitDir, FileName, Filter, FilterIndex, DefaultExt});
    if (!f)
        return cancelled();
    std::filesystem::path path(*f);
    if (!path.has_extension() && !DefaultExt.empty())
        path += (DefaultExt[0] == '.' ? DefaultExt : "." + DefaultExt);
    FileName = path.string();
    FileTitle = path.filename().string();
}

void CommonDialog::ShowColor()
{
    auto p = port();
    const auto c = p->ChooseColor(Color);
    if (!c)
        return cancelled();
    Color = *c;
}

void CommonDialog::ShowFont()
{
    auto p = port();
    const auto f = p->ChooseFont(Font);
    if (!f)
        return cancelled();
    Font = *f;
}

void CommonDialog::ShowPrinter()
{
    auto p = port();
    const auto name = p->ChoosePrinter(Printer().DeviceName());
    if (!name)
        return cancelled();
    Printer().SetDeviceName(*name);
}

std::optional<std::string> ScriptedDialogs::OpenFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    return next(files);
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    return next(files);
}

std::optional<OLE_COLOR> ScriptedDialogs::ChooseColor(OLE_COLOR initial)
{
    colorRequests.push_back(initial);
    return next(colors);
}

std::optional<QFont> ScriptedDialogs::ChooseFont(const QFont&)
{
    return next(fonts);
}

std::optional<std::string> ScriptedDialogs::ChoosePrinter(const std::string&)
{
    return next(printerChoices);
}

std::optional<PrintTarget> ScriptedDialogs::ChoosePrintTarget(const std::string& current)
{
    if (!printTargets.empty())
        return next(printTargets);
    return DialogPort::ChoosePrintTarget(current);
}

} // namespace forms
