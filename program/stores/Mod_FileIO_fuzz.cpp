// Any bytes as a notes file, read and rewritten every way the program does:
// the notes of every kind of every store the file names (and of stores it
// does not), a worksheet's notes saved, a new store's empty block added
// and a deleted store's blocks removed. Reading never fails; what is
// written reads back and leaves the other stores' notes as they read; a
// store that had a block keeps its notes when one is added; a removed store
// has no notes left.
//
// The input: a mode byte (which store and kind the notes are written to,
// and the new store's number), then the file.

#include "program/stores/Mod_FileIO.h"
#include "program/stores/Mod_FileIO_Stores.h"

#include "platform/testing/FuzzSupport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::array<int16_t, 4> kKinds = {Mod_FileIO::kBaseRateNotes, Mod_FileIO::kPercentageRateNotes,
                                           Mod_FileIO::kCAMRateNotes, Mod_FileIO::kTaxRateNotes};

// The store numbers the file's "<StoreID>" lines hold, a few of them.
std::vector<int16_t> storesNamed(std::string_view file)
{
    std::vector<int16_t> ids;
    constexpr std::string_view tag = "<StoreID>";
    for (std::size_t at = file.find(tag); at != std::string_view::npos && ids.size() < 4;
         at = file.find(tag, at + 1)) {
        std::size_t p = at + tag.size();
        while (p < file.size() && (file[p] == ' ' || file[p] == '\t'))
            ++p;
        int16_t id = 0;
        const auto [end, ec] = std::from_chars(file.data() + p, file.data() + file.size(), id);
        if (ec == std::errc() && end != file.data() + p && std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    return ids;
}

using Notes = std::map<std::pair<int16_t, int16_t>, vb::DynArray<std::string>>;

Notes readAll(const std::filesystem::path& folder, const std::vector<int16_t>& ids)
{
    Notes notes;
    for (int16_t id : ids)
        for (int16_t kind : kKinds)
            notes[{id, kind}] = Mod_FileIO::ReadRateNotes(id, folder, kind);
    return notes;
}

// Every other store's notes read as they did. (Within the changed store, a
// damaged element that never closes takes the lines after it as its own,
// so writing one kind may change what another reads.)
void checkKept(const Notes& before, const Notes& after, int16_t changed)
{
    for (const auto& [at, notes] : before)
        if (at.first != changed && after.at(at) != notes)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::filesystem::path& folder = tv::fuzzing::TempFolder();
    const std::uint8_t mode = data[0];
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    {
        std::ofstream out(folder / Mod_FileIO::kNotesFileName, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    std::vector<int16_t> ids = storesNamed(file);
    const int16_t fresh = int16_t(7 + (mode >> 6));
    for (int16_t id : {int16_t(7), fresh})
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    const Notes before = readAll(folder, ids);

    // A worksheet's notes, line breaks kept as the worksheet encodes them.
    const int16_t store = ids[mode % ids.size()];
    const int16_t kind = kKinds[(mode >> 4) % kKinds.size()];
    const std::string text = "fuzz notes~|of two lines";
    Mod_FileIO::WriteRateNotes(store, folder, kind, {text});
    const auto notes = Mod_FileIO::ReadRateNotes(store, folder, kind);
    if (!notes || notes->empty() || notes->front() != text)
        std::abort();
    Notes now = readAll(folder, ids);
    checkKept(before, now, store);

    // A new store's block hides nothing of what is there, nor the store's
    // own notes when it has a block already.
    Mod_FileIO::AddStoreNotesBlock(fresh, folder);
    const Notes added = readAll(folder, ids);
    checkKept(now, added, fresh);
    for (int16_t k : kKinds)
        if (now.at({fresh, k}) && added.at({fresh, k}) != now.at({fresh, k}))
            std::abort();

    // A deleted store leaves no notes behind. (The others are not compared:
    // a block cut short before the removed one then runs on into what
    // follows it, as any block cut short does.)
    Mod_FileIO::RemoveStoreNotesBlock(store, folder);
    const Notes removed = readAll(folder, ids);
    for (int16_t k : kKinds)
        if (removed.at({store, k}))
            std::abort();
    return 0;
}
