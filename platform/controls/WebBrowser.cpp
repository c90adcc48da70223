#include "platform/controls/WebBrowser.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTextBrowser>
#include <QUrl>

namespace controls {

WebBrowser::WebBrowser(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , browser_(new QTextBrowser(parent.ClientWidget()))
{
    browser_->setOpenLinks(false);
    Attach(browser_);
}

void WebBrowser::Navigate(std::string_view url)
{
    const QString text = QString::fromUtf8(url.data(), static_cast<int>(url.size()));
    const QUrl asUrl(text);
    const QString path = asUrl.isLocalFile() ? asUrl.toLocalFile() : text;
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
        browser_->document()->setMetaInformation(QTextDocument::DocumentUrl,
                                                 QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
        browser_->setSearchPaths({QFileInfo(path).absolutePath()});
        browser_->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        browser_->clear();
    }
    location_ = std::string(url);
    if (Live())
        DocumentComplete.Raise(location_);
}

QTextDocument* WebBrowser::Document() const
{
    return browser_->document();
}

void WebBrowser::Print(QPrinter& printer) const
{
    browser_->document()->print(&printer);
}

} // namespace controls
