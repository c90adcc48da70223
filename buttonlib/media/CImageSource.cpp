#include "buttonlib/media/CImageSource.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The most a file source reads into memory.
constexpr long long kMaxFileBytes = 1LL << 30;

} // namespace

CImageSource::CImageSource(IProgressNotification* notifier)
    : notifier_(notifier)
{
}

CImageSource::~CImageSource()
{
    CImageSource::Close();
}

void CImageSource::Open(const std::string& name, const BYTE* data, int size)
{
    name_ = name;
    data_ = data;
    size_ = size < 0 ? 0 : size;
    consumed_ = 0;
    open_ = true;
}

void CImageSource::Close()
{
    if (!open_)
        return;
    if (notifier_)
        notifier_->OnProgress(1.0);
    open_ = false;
    name_.clear();
    data_ = nullptr;
}

const BYTE* CImageSource::GetBufferPtr(int)
{
    return GetCurrentPtr();
}

const BYTE* CImageSource::GetCurrentPtr()
{
    return data_ ? data_ + consumed_ : nullptr;
}

void CImageSource::RaiseEndOfData()
{
    throw CTextException(kErrEndOfData, "End of file reached while decoding.\n");
}

void CImageSource::RequireBytes(unsigned long long count, unsigned long long unitBytes) const
{
    const auto left = static_cast<unsigned long long>(GetBytesLeft() > 0 ? GetBytesLeft() : 0);
    // Divided rather than multiplied: the count comes from a header.
    if (unitBytes != 0 && count > left / unitBytes)
        RaiseEndOfData();
}

const BYTE* CImageSource::ReadNBytes(int n)
{
    if (n < 0 || !data_ || n > size_ - consumed_)
        RaiseEndOfData();
    const int before = consumed_;
    consumed_ += n;
    if (notifier_ && size_ > 0 && consumed_ / 1024 != before / 1024)
        notifier_->OnProgress(double(consumed_) / size_);
    return data_ + before;
}

int CFileImageSource::Open(const char* path)
{
    const std::string name = path ? path : "";
    const int fd = name.empty() ? -1 : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = name.empty() ? ENOENT : errno;
        if (error == EACCES || error == EPERM)
            return kErrAccessDenied;
        if (error == ENOENT || error == ENOTDIR) {
            std::error_code ec;
            const auto parent = std::filesystem::path(name).parent_path();
            if (error == ENOTDIR || (!parent.empty() && !std::filesystem::is_directory(parent, ec)))
                return kErrPathNotFound;
        }
        return kErrFileNotFound;
    }
    struct stat st {};
    // An empty file, a folder or an oversized file cannot be read as a whole.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || st.st_size > kMaxFileBytes) {
        ::close(fd);
        return kErrAccessDenied;
    }
    try {
        bytes_.assign(std::size_t(st.st_size), 0);
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return kErrAccessDenied;
    }
    std::size_t got = 0;
    while (got < bytes_.size()) {
        const ssize_t n = ::read(fd, bytes_.data() + got, bytes_.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    ::close(fd);
    // A file that shrank while being read is taken as it was read.
    bytes_.resize(got);
    if (got == 0)
        return kErrAccessDenied;
    CImageSource::Open(name, bytes_.data(), int(got));
    return 0;
}

void CFileImageSource::Close()
{
    CImageSource::Close();
    bytes_.clear();
    bytes_.shrink_to_fit();
}

int CMemImageSource::Open(const BYTE* block, int size)
{
    CImageSource::Open("Mem", block, size);
    return 0;
}
