#include "platform/help/HtmlHelp.h"

#include "platform/win/Desktop.h"

#include <string>
#include <system_error>

namespace help {

bool DisplayTopic(const std::filesystem::path& helpFolder, std::string_view topic)
{
    std::string page(topic);
    std::string anchor;
    if (const size_t hash = page.find('#'); hash != std::string::npos) {
        anchor = page.substr(hash);
        page.resize(hash);
    }
    for (char& c : page)
        if (c == '\\')
            c = '/';
    while (!page.empty() && page.front() == '/')
        page.erase(0, 1);
    if (page.empty())
        return false;

    const std::filesystem::path relative = std::filesystem::path(page).lexically_normal();
    for (const auto& part : relative)
        if (part == "..")
            return false;
    std::error_code ec;
    const std::filesystem::path file = helpFolder / relative;
    if (!std::filesystem::is_regular_file(file, ec))
        return false;
    return win::OpenUrl(win::FileUrl(std::filesystem::absolute(file, ec).string()) + anchor);
}

} // namespace help
