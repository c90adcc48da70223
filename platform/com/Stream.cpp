#include "platform/com/Stream.h"

#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace com {

namespace {

// The bytes clones share, and for a file stream the file they go back to.
struct Content {
    std::mutex mutex;
    std::string bytes;
    std::optional<std::filesystem::path> file;
    std::string committed; // the file's bytes as last read or written
    bool writable = true;
    bool dirty = false;

    // Writes a changed copy back to its file.
    HRESULT Commit()
    {
        if (!file || !dirty)
            return S_OK;
        try {
            vb::fso::WriteAllBytesAtomic(*file, bytes);
        } catch (const vb::RuntimeError&) {
            return STG_E_WRITEFAULT;
        }
        committed = bytes;
        dirty = false;
        return S_OK;
    }
};

// The largest size a stream grows to: its bytes live in one string.
constexpr std::uint64_t kMaxSize = std::numeric_limits<std::uint32_t>::max();

class Stream final : public ComObject<Stream, IStream> {
public:
    Stream(std::shared_ptr<Content> content, std::uint64_t position, DWORD mode)
        : content_(std::move(content)), position_(position), mode_(mode)
    {
    }

    ~Stream()
    {
        // The last stream over a changed file publishes it.
        if (content_.use_count() == 1) {
            std::lock_guard lock(content_->mutex);
            content_->Commit();
        }
    }

    std::span<const InterfaceEntry> InterfaceTable() const
    {
        static constexpr InterfaceEntry table[] = {
            Implements<Stream, IStream>(),
            Implements<Stream, ISequentialStream>(),
        };
        return table;
    }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override
    {
        if (read)
            *read = 0;
        if (!buffer && size > 0)
            return STG_E_INVALIDPOINTER;
        std::lock_guard lock(content_->mutex);
        const std::string& bytes = content_->bytes;
        ULONG n = 0;
        if (position_ < bytes.size())
            n = static_cast<ULONG>(std::min<std::uint64_t>(size, bytes.size() - position_));
        if (n > 0)
            std::memcpy(buffer, bytes.data() + position_, n);
        position_ += n;
        if (read)
            *read = n;
        return S_OK;
    }

    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override
    {
        if (written)
            *written = 0;
        if (!buffer && size > 0)
            return STG_E_INVALIDPOINTER;
        std::lock_guard lock(content_->mutex);
        if (!content_->writable)
            return STG_E_ACCESSDENIED;
        if (size == 0)
            return S_OK;
        if (position_ + size > kMaxSize)
            return STG_E_WRITEFAULT;
        std::string& bytes = content_->bytes;
        if (bytes.size() < position_ + size)
            bytes.resize(position_ + size, '\0');
        std::memcpy(bytes.data() + position_, buffer, size);
        position_ += size;
        content_->dirty = true;
        if (written)
            *written = size;
        return S_OK;
    }

    HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) override
    {
        std::lock_guard lock(content_->mutex);
        std::int64_t base = 0;
        switch (origin) {
        case STREAM_SEEK_SET:
            break;
        case STREAM_SEEK_CUR:
            base = static_cast<std::int64_t>(position_);
            break;
        case STREAM_SEEK_END:
            base = static_cast<std::int64_t>(content_->bytes.size());
            break;
        default:
            return STG_E_INVALIDFUNCTION;
        }
        // Positions lie between 0 and the largest size; past the end is
        // allowed (a write there fills the gap with zeros).
        if ((move < 0 && base + move < 0) || (move > 0 && static_cast<std::uint64_t>(move) > kMaxSize - base))
            return STG_E_INVALIDFUNCTION;
        position_ = static_cast<std::uint64_t>(base + move);
        if (newPosition)
            *newPosition = position_;
        return S_OK;
    }

    HRESULT SetSize(std::uint64_t size) override
    {
        std::lock_guard lock(content_->mutex);
        if (!content_->writable)
            return STG_E_ACCESSDENIED;
        if (size > kMaxSize)
            return STG_E_INVALIDFUNCTION;
        if (content_->bytes.size() != size) {
            content_->bytes.resize(size, '\0');
            content_->dirty = true;
        }
        return S_OK;
    }

    HRESULT CopyTo(IStream* target, std::uint64_t size, std::uint64_t* read, std::uint64_t* written) override
    {
        if (read)
            *read = 0;
        if (written)
            *written = 0;
        if (!target)
            return STG_E_INVALIDPOINTER;
        std::string chunk;
        {
            std::lock_guard lock(content_->mutex);
            const std::string& bytes = content_->bytes;
            if (position_ < bytes.size())
                chunk = bytes.substr(position_, std::min<std::uint64_t>(size, bytes.size() - position_));
            position_ += chunk.size();
        }
        if (read)
            *read = chunk.size();
        ULONG done = 0;
        const HRESULT hr = target->Write(chunk.data(), static_cast<ULONG>(chunk.size()), &done);
        if (written)
            *written = done;
        return hr;
    }

    HRESULT Commit(DWORD) override
    {
        std::lock_guard lock(content_->mutex);
        return content_->Commit();
    }

    HRESULT Revert() override
    {
        std::lock_guard lock(content_->mutex);
        if (content_->file) {
            content_->bytes = content_->committed;
            content_->dirty = false;
        }
        return S_OK;
    }

    HRESULT LockRegion(std::uint64_t, std::uint64_t, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT UnlockRegion(std::uint64_t, std::uint64_t, DWORD) override { return STG_E_INVALIDFUNCTION; }

    HRESULT Stat(STATSTG* stat, DWORD) override
    {
        if (!stat)
            return STG_E_INVALIDPOINTER;
        std::lock_guard lock(content_->mutex);
        *stat = STATSTG{nullptr, STGTY_STREAM, content_->bytes.size(), mode_};
        return S_OK;
    }

    HRESULT Clone(IStream** copy) override
    {
        if (!copy)
            return STG_E_INVALIDPOINTER;
        std::lock_guard lock(content_->mutex);
        *copy = new Stream(content_, position_, mode_);
        return S_OK;
    }

private:
    std::shared_ptr<Content> content_;
    std::uint64_t position_;
    DWORD mode_;
};

constexpr DWORD kAccessMask = 0x3;

} // namespace

HRESULT CreateStreamOnMemory(std::string_view bytes, IStream** stream)
{
    if (!stream)
        return STG_E_INVALIDPOINTER;
    auto content = std::make_shared<Content>();
    content->bytes.assign(bytes);
    *stream = new Stream(std::move(content), 0, STGM_READWRITE);
    return S_OK;
}

HRESULT CreateStreamOnFile(const std::filesystem::path& path, DWORD mode, IStream** stream)
{
    if (!stream)
        return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    const DWORD access = mode & kAccessMask;
    if (access > STGM_READWRITE || (mode & ~(kAccessMask | STGM_CREATE)) != 0 ||
        (access == STGM_READ && (mode & STGM_CREATE)))
        return STG_E_INVALIDFLAG;
    auto content = std::make_shared<Content>();
    content->file = path;
    content->writable = access != STGM_READ;
    if (mode & STGM_CREATE) {
        // The new, empty file is what a Release without writes leaves too.
        content->dirty = true;
    } else {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec))
            return STG_E_FILENOTFOUND;
        try {
            content->bytes = vb::fso::ReadAllBytes(path);
        } catch (const vb::RuntimeError&) {
            return STG_E_ACCESSDENIED;
        }
        content->committed = content->bytes;
    }
    *stream = new Stream(std::move(content), 0, mode);
    return S_OK;
}

} // namespace com
