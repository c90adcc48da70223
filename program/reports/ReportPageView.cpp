#include "program/reports/ReportPageView.h"

#include "platform/basic/RuntimeError.h"

#include <QTextBrowser>

#include <fstream>
#include <sstream>

ReportPageView::ReportPageView(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , view_(new QTextBrowser)
{
    view_->setOpenLinks(false);
    // As printed: a cell's text breaks between words, never inside one.
    view_->setWordWrapMode(QTextOption::WordWrap);
    Attach(view_);
}

void ReportPageView::Navigate(const std::filesystem::path& file)
{
    location_ = file.string();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        view_->clear();
        throw vb::RuntimeError(vb::kErrFileNotFound, "File not found: " + file.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    view_->setHtml(QString::fromUtf8(text.str()));
}

void ReportPageView::ShowProblem(const std::string& what, const std::string& why)
{
    location_.clear();
    QString page = QStringLiteral("<html><body><h3>") + QString::fromStdString(what).toHtmlEscaped()
        + QStringLiteral("</h3>");
    for (const QString& line : QString::fromStdString(why).split(QLatin1Char('\n')))
        page += QStringLiteral("<p>") + line.trimmed().toHtmlEscaped() + QStringLiteral("</p>");
    view_->setHtml(page + QStringLiteral("</body></html>"));
}

std::string ReportPageView::PlainText() const
{
    return view_->toPlainText().toStdString();
}

std::string ReportPageView::Html() const
{
    return view_->toHtml().toStdString();
}
