#include "platform/win/CursorService.h"

#include <QPixmap>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

namespace win {

namespace {

constexpr std::uint32_t kResourceVersion = 0x30000;
constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;
// No cursor file comes near this; a larger one is not read at all.
constexpr std::uintmax_t kMaxCursorFileSize = 16u << 20;

struct Entry {
    QCursor cursor;
    std::shared_ptr<const CursorFile> file;
};

class Table {
public:
    HCURSOR add(std::shared_ptr<const CursorFile> file)
    {
        const CursorFrame& first = file->First();
        Entry entry{QCursor(QPixmap::fromImage(first.image), first.hotSpot.x(), first.hotSpot.y()), std::move(file)};
        std::lock_guard lock(mutex_);
        const std::uintptr_t id = next_++;
        entries_.emplace(id, std::move(entry));
        return reinterpret_cast<HCURSOR>(id);
    }

    bool remove(HCURSOR h)
    {
        std::lock_guard lock(mutex_);
        return entries_.erase(reinterpret_cast<std::uintptr_t>(h)) > 0;
    }

    std::optional<Entry> find(HCURSOR h) const
    {
        std::lock_guard lock(mutex_);
        const auto it = entries_.find(reinterpret_cast<std::uintptr_t>(h));
        if (it == entries_.end())
            return std::nullopt;
        return it->second;
    }

    std::size_t size() const
    {
        std::lock_guard lock(mutex_);
        return entries_.size();
    }

private:
    mutable std::mutex mutex_;
    std::map<std::uintptr_t, Entry> entries_;
    // Handles are never reused, so a stale one finds nothing.
    std::uintptr_t next_ = 1;
};

Table& table()
{
    static Table t;
    return t;
}

HCURSOR fromFile(CursorFile file)
{
    return table().add(std::make_shared<const CursorFile>(std::move(file)));
}

} // namespace

HCURSOR LoadCursorFromBytes(std::span<const std::uint8_t> bytes)
{
    CursorFile file;
    if (!ReadCursorFile(bytes, file))
        return nullptr;
    return fromFile(std::move(file));
}

HCURSOR LoadCursorFromFile(const char* path)
{
    if (!path)
        return nullptr;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxCursorFileSize)
        return nullptr;
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof())
        return nullptr;
    return LoadCursorFromBytes(bytes);
}

int LookupIconIdFromDirectory(std::span<const std::uint8_t> presbits, bool fIcon)
{
    riff::FieldReader r(presbits);
    const std::uint16_t reserved = r.U16();
    const std::uint16_t type = r.U16();
    const std::size_t count = r.U16();
    if (r.Failed() || reserved != 0 || type != (fIcon ? 1 : 2) || kGroupHeader + count * kGroupEntry > presbits.size())
        return 0;
    int best = 0;
    CursorImageInfo bestInfo;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = presbits.data() + kGroupHeader + i * kGroupEntry;
        CursorImageInfo info;
        if (fIcon) {
            // Bytes for width and height, 0 meaning 256.
            info.width = e[0] ? e[0] : 256;
            info.height = e[1] ? e[1] : 256;
        } else {
            // Words, the height counting colour and mask rows.
            info.width = riff::Le16(e);
            info.height = riff::Le16(e + 2) / 2;
        }
        info.bitCount = riff::Le16(e + 6);
        const int id = riff::Le16(e + 12);
        if (id != 0 && (best == 0 || PreferCursorImage(info, bestInfo))) {
            best = id;
            bestInfo = info;
        }
    }
    return best;
}

HICON CreateIconFromResource(const std::uint8_t* presbits, std::uint32_t dwResSize, bool fIcon, std::uint32_t dwVer)
{
    if (!presbits || dwVer != kResourceVersion)
        return nullptr;
    CursorFile file;
    if (!ReadCursorResource(riff::Bytes(presbits, dwResSize), fIcon, file))
        return nullptr;
    return fromFile(std::move(file));
}

bool DestroyCursor(HCURSOR hCursor)
{
    return table().remove(hCursor);
}

HCURSOR CopyCursor(HCURSOR hCursor)
{
    auto file = CursorFileFromHandle(hCursor);
    return file ? table().add(std::move(file)) : nullptr;
}

std::optional<QCursor> CursorFromHandle(HCURSOR hCursor)
{
    const auto entry = table().find(hCursor);
    if (!entry)
        return std::nullopt;
    return entry->cursor;
}

std::shared_ptr<const CursorFile> CursorFileFromHandle(HCURSOR hCursor)
{
    const auto entry = table().find(hCursor);
    return entry ? entry->file : nullptr;
}

std::size_t CursorHandleCount()
{
    return table().size();
}

} // namespace win
