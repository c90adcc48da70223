#include "platform/basic/FileSystem.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vb::fso {

namespace {

[[noreturn]] void raiseFromErrno(int err)
{
    switch (err) {
    case ENOENT: Raise(kErrFileNotFound);
    case EACCES:
    case EPERM:
    case EROFS: Raise(kErrPermissionDenied);
    case ENOTDIR: Raise(kErrPathNotFound);
    case ENOSPC: Raise(61);
    default: Raise(kErrPathFileAccess);
    }
}

[[noreturn]] void raiseFromError(const std::error_code& ec)
{
    raiseFromErrno(ec.value());
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The process id keeps forked processes, which share the generator's state,
// from picking the same name.
std::string tempNameFor(const fs::path& path)
{
    static std::mt19937_64 rng{std::random_device{}()};
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%016llx.tmp", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(rng()));
    return (path.parent_path() / ("." + path.filename().string() + suffix)).string();
}

bool allOf(std::string_view s, bool (*accept)(char))
{
    if (s.empty())
        return false;
    for (const char c : s)
        if (!accept(c))
            return false;
    return true;
}

// The process id in a temporary name of ours for the file name
// (".<name>.<pid>.<16 hex digits>.tmp"); 0 for any other name.
long tempOwner(std::string_view entry, std::string_view name)
{
    const std::string prefix = "." + std::string(name) + ".";
    constexpr std::string_view kSuffix = ".tmp";
    if (!entry.starts_with(prefix) || !entry.ends_with(kSuffix))
        return 0;
    std::string_view rest = entry.substr(prefix.size(), entry.size() - prefix.size() - kSuffix.size());
    const size_t dot = rest.find('.');
    if (dot == std::string_view::npos)
        return 0;
    const std::string_view pid = rest.substr(0, dot);
    const std::string_view random = rest.substr(dot + 1);
    if (pid.size() > 9 || random.size() != 16 || !allOf(pid, [](char c) { return c >= '0' && c <= '9'; }) ||
        !allOf(random, [](char c) { return HexDigitValue(c) >= 0; }))
        return 0;
    return std::stol(std::string(pid));
}

bool processGone(long pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// A writer killed half-way leaves its temporary file behind; the next
// rewrite of the same file clears those whose process has ended.
void removeStaleTemps(const fs::path& target)
{
    const std::string name = target.filename().string();
    std::error_code ec;
    fs::directory_iterator it(target.parent_path(), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const long pid = tempOwner(it->path().filename().string(), name);
        if (pid <= 0 || pid == ::getpid() || !processGone(pid))
            continue;
        std::error_code statEc;
        if (fs::symlink_status(it->path(), statEc).type() != fs::file_type::regular)
            continue;
        std::error_code removeEc;
        fs::remove(it->path(), removeEc);
    }
}

} // namespace

bool FileExists(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool FolderExists(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

void DeleteFile(const fs::path& path)
{
    if (!FileExists(path))
        Raise(kErrFileNotFound);
    std::error_code ec;
    if (!fs::remove(path, ec) || ec) {
        // A read-only file can be deleted after its write bit is set.
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
        if (!fs::remove(path, ec) || ec)
            Raise(kErrPermissionDenied);
    }
}

void CopyFile(const fs::path& source, const fs::path& target, bool overwrite)
{
    if (!FileExists(source))
        Raise(kErrFileNotFound);
    std::error_code ec;
    if (fs::exists(target, ec)) {
        if (fs::equivalent(source, target, ec))
            return;
        if (!overwrite)
            Raise(kErrFileExists);
    }
    WriteAllBytesAtomic(target, ReadAllBytes(source));
}

void MoveFile(const fs::path& source, const fs::path& target)
{
    std::error_code ec;
    if (!fs::exists(source, ec))
        Raise(kErrFileNotFound);
    if (fs::exists(target, ec))
        Raise(kErrFileExists);
    fs::rename(source, target, ec);
    if (!ec)
        return;
    if (ec.value() != EXDEV)
        raiseFromError(ec);
    fs::copy(source, target, fs::copy_options::recursive, ec);
    if (ec)
        raiseFromError(ec);
    fs::remove_all(source, ec);
}

void CreateFolder(const fs::path& path)
{
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec)
        raiseFromError(ec);
}

void DeleteFolder(const fs::path& path)
{
    std::error_code ec;
    if (!fs::is_directory(path, ec))
        Raise(kErrPathNotFound);
    fs::remove_all(path, ec);
    if (ec)
        raiseFromError(ec);
}

long long FileLen(const fs::path& path)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        Raise(kErrFileNotFound);
    return static_cast<long long>(size);
}

std::string ReadAllBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (!FileExists(path))
            Raise(kErrFileNotFound);
        Raise(kErrPermissionDenied);
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        Raise(kErrDeviceIO);
    return data;
}

void WriteAllBytesAtomic(const fs::path& path, std::string_view bytes)
{
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!FolderExists(folder))
        Raise(kErrPathNotFound);
    const fs::path target = path.has_parent_path() ? path : fs::path(".") / path;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temp = tempNameFor(target);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        raiseFromErrno(errno);
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    const bool ok = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    if (!ok) {
        ::unlink(temp.c_str());
        raiseFromErrno(err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int renameErr = errno;
        ::unlink(temp.c_str());
        raiseFromErrno(renameErr);
    }
    removeStaleTemps(target);
}

FileLock::FileLock(const fs::path& file)
{
    if (const int err = Acquire(file, true); err != 0)
        raiseFromErrno(err);
}

int FileLock::Acquire(const fs::path& file, bool wait)
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    const std::string lockPath = file.string() + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    while (::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) {
            const int err = errno;
            ::close(fd);
            return err;
        }
    }
    fd_ = fd;
    return 0;
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_)
{
    other.fd_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

TextStream TextStream::OpenTextFile(const fs::path& path, IOMode mode, bool create)
{
    TextStream t;
    t.mode_ = mode;
    t.path_ = path;
    t.uncaught_ = std::uncaught_exceptions();
    const bool exists = FileExists(path);
    if (!exists && !create)
        Raise(kErrFileNotFound);
    if (!FolderExists(path.has_parent_path() ? path.parent_path() : fs::path(".")))
        Raise(kErrPathNotFound);
    if (mode == IOMode::ForReading) {
        if (exists)
            t.data_ = ReadAllBytes(path);
    } else if (mode == IOMode::ForAppending) {
        if (exists)
            t.data_ = ReadAllBytes(path);
        t.pos_ = t.data_.size();
    } else if (mode != IOMode::ForWriting) {
        Raise(kErrInvalidCall);
    }
    // Creating an empty file at once, as opening for writing did.
    if (!exists && mode != IOMode::ForReading)
        WriteAllBytesAtomic(path, {});
    t.open_ = true;
    return t;
}

TextStream TextStream::CreateTextFile(const fs::path& path, bool overwrite)
{
    if (!overwrite && FileExists(path))
        Raise(kErrFileExists);
    return OpenTextFile(path, IOMode::ForWriting, true);
}

TextStream::TextStream(TextStream&& other) noexcept
{
    *this = std::move(other);
}

TextStream& TextStream::operator=(TextStream&& other) noexcept
{
    if (this != &other) {
        mode_ = other.mode_;
        path_ = std::move(other.path_);
        data_ = std::move(other.data_);
        pos_ = other.pos_;
        line_ = other.line_;
        open_ = other.open_;
        uncaught_ = other.uncaught_;
        other.open_ = false;
    }
    return *this;
}

TextStream::~TextStream()
{
    if (!open_ || mode_ == IOMode::ForReading)
        return;
    if (std::uncaught_exceptions() > uncaught_)
        return;
    try {
        Close();
    } catch (...) {
        // A failed commit leaves the old file; nothing more can be done here.
    }
}

bool TextStream::AtEndOfStream() const
{
    if (!open_ || mode_ != IOMode::ForReading)
        return true;
    return pos_ >= data_.size();
}

std::string TextStream::ReadLine()
{
    if (!open_)
        Raise(kErrBadFileName);
    if (mode_ != IOMode::ForReading)
        Raise(kErrBadFileMode);
    if (pos_ >= data_.size())
        Raise(kErrInputPastEnd);
    size_t end = pos_;
    while (end < data_.size() && data_[end] != '\n' && data_[end] != '\r')
        ++end;
    std::string line = DecodeLenient(std::string_view(data_).substr(pos_, end - pos_));
    if (end < data_.size()) {
        if (data_[end] == '\r' && end + 1 < data_.size() && data_[end + 1] == '\n')
            ++end;
        ++end;
    }
    pos_ = end;
    ++line_;
    return line;
}

std::string TextStream::ReadAll()
{
    if (!open_)
        Raise(kErrBadFileName);
    if (mode_ != IOMode::ForReading)
        Raise(kErrBadFileMode);
    std::string rest = DecodeLenient(std::string_view(data_).substr(pos_));
    pos_ = data_.size();
    return rest;
}

void TextStream::Write(std::string_view text)
{
    if (!open_)
        Raise(kErrBadFileName);
    if (mode_ == IOMode::ForReading)
        Raise(kErrBadFileMode);
    data_.append(text);
}

void TextStream::WriteLine(std::string_view text)
{
    Write(text);
    Write("\r\n");
}

void TextStream::WriteBlankLines(int count)
{
    for (int i = 0; i < count; ++i)
        Write("\r\n");
}

void TextStream::Close()
{
    if (!open_)
        return;
    open_ = false;
    if (mode_ != IOMode::ForReading)
        WriteAllBytesAtomic(path_, data_);
    data_.clear();
}

void TextStream::Abandon()
{
    open_ = false;
    data_.clear();
}

} // namespace vb::fso
