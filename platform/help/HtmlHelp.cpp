#include "platform/help/HtmlHelp.h"

#include "platform/win/Desktop.h"

#include <string>
#include <system_error>

namespace help {

bool DisplayTopic(const std::filesystem::path& helpFolder, std::string_view topic, std::string* message)
{
    auto missing = [&](const std::string& looked) {
        if (message)
            *message = "The help page \"" + looked + "\" is not installed.";
        return false;
    };
    std::string page(topic.empty() ? kDefaultTopic : topic);
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
        return missing(std::string(topic));

    const std::filesystem::path relative = std::filesystem::path(page).lexically_normal();
    for (const auto& part : relative)
        if (part == "..")
            return missing(std::string(topic));
    std::error_code ec;
    const std::filesystem::path file = helpFolder / relative;
    if (!std::filesystem::is_regular_file(file, ec))
        return missing(file.string());
    if (!win::OpenUrl(win::FileUrl(std::filesystem::absolute(file, ec).string()) + anchor)) {
        if (message)
            *message = "The help page \"" + file.string() + "\" could not be opened.";
        return false;
    }
    return true;
}

} // namespace help
