#pragma once
// Test support: the fixed report database (schema + testdata/reports_fixture.sql)
// and the checks every printed report must pass.

#include "tools/DatabaseBuilder.h"

#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace reporttest {

inline void BuildFixtureDatabase(const std::filesystem::path& file, const std::filesystem::path& dataDir,
                                 const std::filesystem::path& fixtureSql)
{
    tv::tools::BuildDatabase(file, tv::tools::ReadTextFile(dataDir / "schema.sql"),
                             tv::tools::ReadTextFile(fixtureSql), {2003, 1, 31});
}

inline std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The number of pages of a PDF file, 0 when it is not one.
inline int PdfPageCount(const std::string& bytes)
{
    if (bytes.rfind("%PDF-", 0) != 0 || bytes.find("%%EOF") == std::string::npos)
        return 0;
    int pages = 0;
    for (size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
        if (bytes.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    return pages;
}

// The HTML as QTextDocument lays it out, drawn into an image for review.
inline QImage RenderToImage(const std::string& html, int width = 900)
{
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    doc.setTextWidth(width);
    QImage image(width, static_cast<int>(doc.size().height()) + 1, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    doc.drawContents(&p);
    return image;
}

} // namespace reporttest
