#include "platform/mfc/CFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A missing folder is a bad path, a missing file in an existing folder is
// "not found", as the platform tells the two apart.
int causeFor(int error, const std::string& path)
{
    if (error == ENOENT) {
        std::error_code ec;
        const auto parent = std::filesystem::path(path).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec))
            return CFileException::badPath;
    }
    return CFileException::OsErrorToException(error);
}

mode_t currentUmask()
{
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

} // namespace

CFile::CFile() = default;

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (fd_ < 0)
        return;
    release(std::uncaught_exceptions() <= uncaught_);
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (fd_ >= 0)
        Abort();
    const std::string name = lpszFileName ? lpszFileName : "";
    auto fail = [&](int error) {
        if (pError) {
            pError->m_cause = causeFor(error, name);
            pError->m_lOsError = error;
            pError->m_strFileName = name;
        }
        return FALSE;
    };
    if (name.empty())
        return fail(ENOENT);

    int access = O_RDONLY;
    if ((nOpenFlags & 3) == modeWrite)
        access = O_WRONLY;
    else if ((nOpenFlags & 3) == modeReadWrite)
        access = O_RDWR;

    if ((nOpenFlags & modeCreate) && !(nOpenFlags & modeNoTruncate)) {
        // Written beside the target and renamed over it on Close.
        std::error_code ec;
        const auto target = std::filesystem::path(name);
        if (std::filesystem::is_directory(target, ec))
            return fail(EISDIR);
        std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
        if (target.parent_path().empty())
            pattern = "." + target.filename().string() + ".XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            return fail(errno);
        ::fchmod(fd, 0666 & ~currentUmask());
        fd_ = fd;
        tempPath_ = pattern;
    } else {
        int flags = access | O_CLOEXEC;
        if (nOpenFlags & modeCreate)
            flags |= O_CREAT;
        const int fd = ::open(name.c_str(), flags, 0666);
        if (fd < 0)
            return fail(errno);
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            return fail(EISDIR);
        }
        fd_ = fd;
        tempPath_.clear();
    }
    path_ = name;
    uncaught_ = std::uncaught_exceptions();
    return TRUE;
}

void CFile::throwErrno(int error) const
{
    AfxThrowFileException(causeFor(error, path_), error, path_);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (fd_ < 0)
        AfxThrowFileException(CFileException::invalidFile, -1, path_);
    auto* p = static_cast<char*>(lpBuf);
    UINT total = 0;
    while (total < nCount) {
        const ssize_t n = ::read(fd_, p + total, nCount - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno);
        }
        if (n == 0)
            break;
        total += UINT(n);
    }
    return total;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (fd_ < 0)
        AfxThrowFileException(CFileException::invalidFile, -1, path_);
    const auto* p = static_cast<const char*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t n = ::write(fd_, p + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno);
        }
        done += UINT(n);
    }
}

LONG CFile::Seek(LONG lOff, UINT nFrom)
{
    if (fd_ < 0)
        AfxThrowFileException(CFileException::invalidFile, -1, path_);
    const int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
    const off_t pos = ::lseek(fd_, lOff, whence);
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, errno, path_);
    return LONG(pos);
}

DWORD CFile::GetLength() const
{
    if (fd_ < 0)
        AfxThrowFileException(CFileException::invalidFile, -1, path_);
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throwErrno(errno);
    return DWORD(st.st_size);
}

DWORD CFile::GetPosition() const
{
    if (fd_ < 0)
        AfxThrowFileException(CFileException::invalidFile, -1, path_);
    const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0)
        throwErrno(errno);
    return DWORD(pos);
}

void CFile::Flush()
{
    if (fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL)
        throwErrno(errno);
}

void CFile::Close()
{
    if (fd_ < 0)
        return;
    if (tempPath_.empty()) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR)
            throwErrno(errno);
        return;
    }
    // Commit: data on disk first, then the rename.
    const int fd = fd_;
    fd_ = -1;
    const std::string temp = tempPath_;
    tempPath_.clear();
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throwErrno(error);
    }
    if (::rename(temp.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throwErrno(error);
    }
}

void CFile::Abort()
{
    if (fd_ >= 0)
        release(false);
}

void CFile::release(bool commit)
{
    if (commit) {
        try {
            Close();
            return;
        } catch (const CFileException&) {
            // Nothing can be reported from here; Close removed the temporary file.
        }
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty())
        ::unlink(tempPath_.c_str());
    tempPath_.clear();
}
