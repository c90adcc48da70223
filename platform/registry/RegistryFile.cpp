#include "platform/registry/RegistryFile.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace winreg::detail {

namespace fs = std::filesystem;

namespace {

// A settings file never comes near this; anything larger is not ours.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;
// How long after its last change a file's signature is not trusted.
constexpr auto kRacyWindow = std::chrono::seconds(2);

LONG codeOfErrno(int err)
{
    return (err == EACCES || err == EPERM || err == EROFS) ? ERROR_ACCESS_DENIED : ERROR_REGISTRY_IO_FAILED;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool isRacy(const timespec& modified)
{
    using namespace std::chrono;
    const auto mtime = system_clock::time_point(duration_cast<system_clock::duration>(
        seconds(modified.tv_sec) + nanoseconds(modified.tv_nsec)));
    return system_clock::now() - mtime < kRacyWindow;
}

} // namespace

bool RegistryFile::Signature::operator==(const Signature& o) const
{
    if (exists != o.exists)
        return false;
    if (!exists)
        return true;
    return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
           changed.tv_nsec == o.changed.tv_nsec;
}

void RegistryFile::Adopt(const fs::path& path)
{
    path_ = path;
    signature_.reset();
    racy_ = true;
    tree_ = Tree();
    status_ = ERROR_SUCCESS;
    problem_.clear();

    auto unusable = [&](LONG status, std::string problem) {
        tree_ = Tree();
        status_ = status;
        problem_ = "The settings file " + path.string() + " " + problem +
                   ". Tallyvane leaves it as it is and saves no settings until it is repaired or removed.";
    };

    // Without O_NONBLOCK a FIFO in the file's place would hold the open
    // until some writer came; it makes no difference to a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT) {
            signature_ = Signature{};
            return;
        }
        unusable(codeOfErrno(err), std::string("cannot be read (") + std::strerror(err) + ")");
        return;
    }
    FileDescriptor file(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        unusable(codeOfErrno(errno), "cannot be read");
        return;
    }
    Signature sig;
    sig.exists = true;
    sig.device = st.st_dev;
    sig.inode = st.st_ino;
    sig.size = st.st_size;
    sig.modified = st.st_mtim;
    sig.changed = st.st_ctim;
    signature_ = sig;
    racy_ = isRacy(st.st_mtim) || isRacy(st.st_ctim);

    if (!S_ISREG(st.st_mode)) {
        unusable(ERROR_REGISTRY_CORRUPT, "is not a file");
        return;
    }
    if (st.st_size > kMaxFileSize) {
        unusable(ERROR_REGISTRY_CORRUPT, "is too large to be a settings file");
        return;
    }
    std::string text(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            unusable(codeOfErrno(errno), "cannot be read");
            return;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    text.resize(got);

    Tree::ParseResult parsed = Tree::Parse(text);
    if (parsed.foreign) {
        unusable(ERROR_REGISTRY_CORRUPT, "is not a Tallyvane settings file");
        return;
    }
    if (!parsed.tree) {
        std::string where = parsed.line > 0 ? " at line " + std::to_string(parsed.line) : std::string();
        unusable(ERROR_REGISTRY_CORRUPT, "is damaged" + where + ": " + parsed.fault);
        return;
    }
    tree_ = std::move(*parsed.tree);
}

LONG RegistryFile::Read(const Tree*& tree)
{
    const fs::path path = vb::AppPaths::RegistryFile();
    bool stale = path != path_ || !signature_ || racy_;
    if (!stale) {
        struct stat st {};
        Signature now;
        if (::stat(path.c_str(), &st) == 0) {
            now.exists = true;
            now.device = st.st_dev;
            now.inode = st.st_ino;
            now.size = st.st_size;
            now.modified = st.st_mtim;
            now.changed = st.st_ctim;
            stale = !(now == *signature_);
        } else {
            stale = errno != ENOENT || signature_->exists;
        }
    }
    if (stale)
        Adopt(path);
    tree = &tree_;
    return status_;
}

LONG RegistryFile::Modify(const std::function<LONG(Tree&)>& change, bool& written)
{
    written = false;
    const fs::path path = vb::AppPaths::RegistryFile();
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec)
        return codeOfErrno(ec.value());

    vb::fso::FileLock lock;
    if (const int err = lock.Acquire(path, true); err != 0)
        return codeOfErrno(err);

    // What another process wrote since our last look must be kept.
    Adopt(path);
    if (status_ != ERROR_SUCCESS)
        return status_;
    Tree edited = tree_;
    if (const LONG rc = change(edited); rc != ERROR_SUCCESS)
        return rc;
    if (edited == tree_)
        return ERROR_SUCCESS;
    try {
        vb::fso::WriteAllBytesAtomic(path, edited.Serialize());
    } catch (const vb::RuntimeError& e) {
        return e.Number() == vb::kErrPermissionDenied ? ERROR_ACCESS_DENIED : ERROR_REGISTRY_IO_FAILED;
    }
    written = true;
    // Read back what was written, so that the next look compares against it.
    Adopt(path);
    return status_;
}

std::optional<std::string> RegistryFile::Problem()
{
    const Tree* tree = nullptr;
    if (Read(tree) == ERROR_SUCCESS)
        return std::nullopt;
    return problem_;
}

std::optional<std::string> RegistryFile::WriteProblem()
{
    const fs::path path = vb::AppPaths::RegistryFile();
    const fs::path folder = path.parent_path();
    auto cannot = [&](int err) -> std::optional<std::string> {
        const bool exists = ::access(path.c_str(), F_OK) == 0;
        return "The settings file " + path.string() + " cannot be written (" + std::strerror(err) +
               "). Tallyvane runs on " +
               (exists ? "the settings it holds and saves no change to them" : "the defaults and saves no settings") +
               " until the folder " + folder.string() + " can be written.";
    };
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        return cannot(ec.value());
    vb::fso::FileLock lock;
    if (const int err = lock.Acquire(path, true); err != 0)
        return cannot(err);
    // Every change is written to a new file beside the old one first, as
    // large as the old one: a disk without room for it takes no change.
    std::string trial = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(trial.data());
    if (fd < 0)
        return cannot(errno);
    struct stat st {};
    const size_t size = ::stat(path.c_str(), &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 1;
    const std::string bytes(std::min<size_t>(size, kMaxFileSize), '\n');
    int err = 0;
    for (size_t done = 0; done < bytes.size() && err == 0;) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            err = errno;
        else if (n > 0)
            done += static_cast<size_t>(n);
    }
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    ::close(fd);
    ::unlink(trial.c_str());
    if (err != 0)
        return cannot(err);
    return std::nullopt;
}

} // namespace winreg::detail
