#pragma once
// What the program hands to the desktop: web addresses and files opened with
// the user's browser or viewer (ShellExecute "open"), and programs started on
// their own. Both are seams: tests install the fakes, and on the offscreen
// platform (tests, headless runs) the desktop implementations start nothing.

#include <memory>
#include <string>
#include <vector>

namespace win {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // A web address ("https://...") or a local file ("file:///..."); false
    // when nothing could be opened.
    virtual bool Open(const std::string& url) = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts program detached from this process; false when it cannot start.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingFolder = {}) = 0;
};

// nullptr restores the desktop implementation.
void SetUrlOpener(std::shared_ptr<UrlOpener> opener);
void SetProcessLauncher(std::shared_ptr<ProcessLauncher> launcher);

bool OpenUrl(const std::string& url);
// The file URL of a local path.
std::string FileUrl(const std::string& path);
bool StartProcess(const std::string& program, const std::vector<std::string>& arguments = {},
                  const std::string& workingFolder = {});

// Records what would have been opened; answers `result`.
class FakeUrlOpener : public UrlOpener {
public:
    bool Open(const std::string& url) override
    {
        opened.push_back(url);
        return result;
    }
    std::vector<std::string> opened;
    bool result = true;
};

class FakeProcessLauncher : public ProcessLauncher {
public:
    struct Call {
        std::string program;
        std::vector<std::string> arguments;
        std::string workingFolder;
    };
    bool Start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingFolder) override
    {
        calls.push_back({program, arguments, workingFolder});
        return result;
    }
    std::vector<Call> calls;
    bool result = true;
};

} // namespace win
