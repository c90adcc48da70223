#pragma once
// The program's help: a folder of HTML pages in place of the compiled help
// file, each topic opened in the desktop's browser through the URL opener.

#include <filesystem>
#include <string_view>

namespace help {

// The help folder's name: the help file's name without its extension.
inline constexpr std::string_view kHelpFolderName = "tallyvanehelp";

// The page the help file opens at when no topic is asked for.
inline constexpr std::string_view kDefaultTopic = "index.htm";

// Opens topic (a path inside the folder, "\" or "/" between its parts,
// optionally "#anchor"; empty for the default topic) from helpFolder.
// Nothing opens, and the answer is false, when the folder or the page is
// missing or the path would leave the folder; message then says so, naming
// the page looked for.
bool DisplayTopic(const std::filesystem::path& helpFolder, std::string_view topic, std::string* message = nullptr);

} // namespace help
