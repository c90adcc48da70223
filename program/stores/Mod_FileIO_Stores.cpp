#include "program/stores/Mod_FileIO_Stores.h"

#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ShellState.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StorePictures.h"
#include "program/stores/StoresState.h"
#include "program/stores/cCreateIcons.h"
#include "program/stores/frmStoreInfo.h"

#include <QPixmap>

#include <limits>
#include <vector>

namespace Mod_FileIO {

namespace fs = std::filesystem;

namespace {

constexpr forms::OLE_COLOR kSelectedBackColor = 0x8080FF;

// The picture of a store's icon file, or the no-icon picture when there is
// none to load: a number of 1000 or more, a missing or unreadable file, an
// icons folder that cannot be made.
QPixmap storePicture(cCreateIcons& icons, const vb::Variant& storeNumber, const std::string& icon)
{
    QPixmap picture;
    try {
        fs::path file;
        if (icon.empty()) {
            const int32_t number = vb::CLng(storeNumber);
            file = StoreIconFile(number);
            if (!vb::fso::FileExists(file)) {
                std::error_code ec;
                fs::create_directories(file.parent_path(), ec);
                icons.GenerateIcon(number, file);
            }
        } else {
            file = fs::path(icon);
        }
        if (vb::fso::FileExists(file))
            picture.load(QString::fromStdString(file.string()));
    } catch (const vb::RuntimeError&) {
        picture = QPixmap();
    }
    return picture.isNull() ? StorePictures::NoIconPicture() : picture;
}

} // namespace

void FillStoreListPanel(std::string_view formName)
{
    if (formName != "frmStoreInfo")
        return;
    tv::ShellState& shell = tv::Shell();
    tv::StoresState& s = tv::Stores();
    frmStoreInfo& form = frmStoreInfo::Instance();
    cCreateIcons icons;

    // The rows are read whole before the list changes. A table that cannot
    // be read (gone, damaged, without one of the list's columns) is told,
    // what failed included, as any error nobody handled: the editor's load
    // goes on past failures and would swallow it, and an empty list would
    // look like stores that are gone. The list stays as it was.
    struct Row {
        vb::Variant id, icon, number, name;
    };
    std::vector<Row> rows;
    try {
        struct Closer {
            ~Closer() { Mod_DBConnections::CloseStores(); }
        } closer;
        int32_t count = 0;
        Mod_DBConnections::OpenStores("ReadOnly", count);
        shell.g_cmdStores->CommandText("SELECT * FROM Stores ORDER BY StoreNumber");
        shell.g_rsStores = shell.g_cmdStores->Execute();
        const ado::RecordsetPtr rs = shell.g_rsStores;
        const ado::Field id = rs->Fields("StoreID");
        const ado::Field icon = rs->Fields("Icon");
        const ado::Field number = rs->Fields("StoreNumber");
        const ado::Field name = rs->Fields("StoreName");
        if (!rs->EOF_()) {
            for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext())
                rows.push_back({id.Value(), icon.Value(), number.Value(), name.Value()});
        }
    } catch (const vb::RuntimeError& e) {
        vb::ReportUnhandledError(e);
        return;
    }
    if (rows.empty()) {
        s.g_CurrentStoreID = -1;
        return;
    }

    controls::SmartPanel& panel = form.smuiPanel(0);
    panel.Items().Clear();
    panel.ListImages().Clear();
    bool first = true;
    for (const Row& row : rows) {
        // A StoreID the editor's 16-bit ids cannot hold is not listed.
        if (row.id.IsNull() || vb::CDbl(row.id) < 0 || vb::CDbl(row.id) > std::numeric_limits<int16_t>::max())
            continue;
        const int16_t storeID = vb::CInt(row.id);
        const std::string key = std::to_string(storeID);
        const std::string imageKey = "STOREIMAGE" + key;
        const std::string icon = vb::CStr(Mod_StoreInfo::EmptyIfNull(row.icon));
        panel.ListImages().Add(imageKey, storePicture(icons, row.number, icon));
        const std::string name = vb::CStr(Mod_StoreInfo::EmptyIfNull(row.name));
        controls::SmartItem& item = panel.Items().Add(key, name, controls::smuiListItem, imageKey);
        item.SetSelectedBackColor(kSelectedBackColor);
        if (first) {
            s.g_CurrentStoreID = storeID;
            item.SetSelected(true);
            first = false;
        }
    }
    if (first)
        s.g_CurrentStoreID = -1;
}

void ShowStoredListItem(int16_t storeID)
{
    tv::ShellState& shell = tv::Shell();
    frmStoreInfo* form = frmStoreInfo::IfLoaded();
    if (!form)
        return;
    struct Closer {
        ~Closer() { Mod_DBConnections::CloseStores(); }
    } closer;
    int32_t count = 0;
    Mod_DBConnections::OpenStores("ReadOnly", count);
    shell.g_cmdStores->CommandText("SELECT StoreName, StoreNumber, Icon FROM Stores WHERE StoreID = ?");
    shell.g_rsStores = shell.g_cmdStores->Execute({vb::Variant(storeID)});
    const ado::RecordsetPtr rs = shell.g_rsStores;
    controls::SmartPanel& panel = form->smuiPanel(0);
    const std::string key = std::to_string(storeID);
    if (rs->EOF_() || !panel.Items().Exists(key))
        return;
    cCreateIcons icons;
    const std::string imageKey = "STOREIMAGE" + key;
    const std::string icon = vb::CStr(Mod_StoreInfo::EmptyIfNull(rs->Fields("Icon").Value()));
    const QPixmap picture = storePicture(icons, rs->Fields("StoreNumber").Value(), icon);
    if (panel.ListImages().Exists(imageKey))
        panel.ListImages().Remove(imageKey);
    panel.ListImages().Add(imageKey, picture);
    panel.Items().Item(key).SetCaption(vb::CStr(Mod_StoreInfo::EmptyIfNull(rs->Fields("StoreName").Value())));
}

void RemoveStoreNotesBlock(int16_t storeID, const fs::path& folder)
{
    const fs::path path = folder / kNotesFileName;
    if (!vb::fso::FileExists(path))
        return;
    const vb::fso::FileLock lock(path);
    CheckNotesFileSize(path);
    constexpr std::string_view kBlockOpen = "<StoreData>";
    constexpr std::string_view kBlockClose = "</StoreData>";
    static constexpr std::string_view kSkeleton[] = {"<xml>", "<StoreLeaseInfo>", "</StoreLeaseInfo>"};
    const std::vector<std::string> lines = ReadLineFile(path, kSkeleton);

    auto startsOtherPart = [&](const std::string& trimmed) {
        return trimmed.find(kBlockOpen) != std::string::npos || trimmed.find("</StoreLeaseInfo>") != std::string::npos;
    };
    std::vector<std::string> out;
    out.reserve(lines.size());
    bool removed = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool opens = vb::Trim(lines[i]).find(kBlockOpen) != std::string::npos;
        if (!opens || i + 1 >= lines.size() || !IsStoreIdLine(vb::Trim(lines[i + 1]), storeID)) {
            out.push_back(lines[i]);
            continue;
        }
        // The block up to its closing line; a block that never closes ends
        // where the next part of the file starts.
        removed = true;
        size_t j = i + 1;
        for (; j < lines.size(); ++j) {
            const std::string t = vb::Trim(lines[j]);
            if (t == kBlockClose)
                break;
            if (j > i + 1 && startsOtherPart(t)) {
                --j;
                break;
            }
        }
        i = j;
    }
    if (removed)
        ReplaceLineFile(path, out);
}

} // namespace Mod_FileIO
