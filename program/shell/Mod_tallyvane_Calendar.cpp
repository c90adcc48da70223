#include "program/shell/Mod_tallyvane_Calendar.h"

#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/App.h"
#include "platform/basic/Variant.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ProgramPictures.h"
#include "program/services/ShellState.h"
#include "program/shell/frmTallyvane.h"

#include <array>
#include <cmath>
#include <filesystem>

namespace Mod_tallyvane {

namespace {

// The picture of one image slot, and whether it is the user's own: a slot
// that names no file, or a file that cannot be read, keeps the default.
std::pair<QPixmap, bool> slotPicture(const std::string& fileName)
{
    if (const auto path = IconFile(fileName)) {
        QPixmap picture;
        if (picture.load(QString::fromStdString(path->string())) && !picture.isNull())
            return {picture, true};
    }
    return {ProgramPictures::ResourceIcon801(), false};
}

} // namespace

std::filesystem::path IconsFolder()
{
    return vb::AppPaths::ProgramFolder() / "icons";
}

std::optional<std::filesystem::path> IconFile(const std::string& fileName)
{
    if (fileName.empty())
        return std::nullopt;
    // Joined as text, an absolute path does not replace the folder, and a
    // name that climbs out of it is not looked up at all.
    const std::filesystem::path folder = IconsFolder();
    const std::filesystem::path path = std::filesystem::path(folder.string() + "/" + fileName).lexically_normal();
    const auto inside = path.lexically_relative(folder.lexically_normal());
    if (inside.empty() || *inside.begin() == ".." || inside == ".")
        return std::nullopt;
    return path;
}

void FillCalendar()
{
    frmTallyvane& form = frmTallyvane::Instance();
    controls::ctCalendar& calendar = form.ctCalendar1;

    // Only the design pictures stay.
    const int16_t last = calendar.LastPictureIndex();
    for (int i = 0; i < last - (kFirstSlotPicture - 1); ++i)
        calendar.RemovePicture(kFirstSlotPicture);

    std::vector<std::string> paths = Mod_SpecialFunctions::GetImagePaths();
    paths.resize(kImageSlots);
    std::array<bool, kImageSlots> custom{};
    for (int i = 0; i < kImageSlots; ++i) {
        auto [picture, own] = slotPicture(paths[static_cast<size_t>(i)]);
        custom[static_cast<size_t>(i)] = own;
        calendar.AddPicture(picture);
    }

    calendar.ClearDays();

    tv::ShellState& shell = tv::Shell();
    int32_t count = 0;
    Mod_DBConnections::OpenCalInfo("ReadOnly", count);
    shell.g_cmdCalInfo->CommandText("SELECT * FROM CalInfo ORDER BY date, ID");
    // Our own handle: a refill started from a handler below must not walk
    // rows another open has closed.
    struct CloseOnExit {
        ~CloseOnExit() { Mod_DBConnections::CloseCalInfo(); }
    } closeCalInfo;
    const ado::RecordsetPtr rs = shell.g_rsCalInfo = shell.g_cmdCalInfo->Execute();
    if (rs->RecordCount() >= 1) {
        rs->MoveFirst();
        for (; !rs->EOF_(); rs->MoveNext()) {
            // A row without a usable day is left out; the others still show.
            const vb::Variant date = rs->Fields("Date").Value();
            if (!vb::IsNumeric(date) || std::abs(vb::CDbl(date)) > 2.0e9)
                continue;
            const int32_t d = vb::CLng(date);
            const std::string info = vb::CStr(Mod_FTPData::NullToEmpty(rs->Fields("info").Value()));
            calendar.SetDayText(d, calendar.DayText(d) + "\n\r" + info);

            const vb::Variant image = rs->Fields("Image").Value();
            if (vb::IsNumeric(image) && vb::CDbl(image) >= 0.5 && vb::CDbl(image) < 32767.5) {
                const int16_t kind = vb::CInt(image);
                const int k = kind - 1;
                const bool own = k >= 0 && k < kImageSlots && custom[static_cast<size_t>(k)];
                if (calendar.DayPicture(d) != 0) {
                    // Several reminders on the day: the user's own picture for
                    // that when there is one.
                    calendar.SetDayPicture(d, custom[kMultiImageSlot] ? kFirstSlotPicture + kMultiImageSlot
                                                                      : kSeveralRemindersPicture);
                } else if (own) {
                    calendar.SetDayPicture(d, static_cast<int16_t>(kFirstSlotPicture + k));
                } else {
                    calendar.SetDayPicture(d, kind);
                }
            }
        }
    }
    form.Refresh();
}

std::filesystem::path DefaultBackgroundImage()
{
    return vb::AppPaths::ProgramFolder() / "DefaultBGImage.jpg";
}

int32_t GetCalendarStartDay(vb::Date date)
{
    const vb::Date first = vb::DateSerial(vb::Year(date), vb::Month(date), 1);
    vb::Date candidate = first;
    for (int i = 0; i <= 7; ++i) {
        candidate = vb::DateAdd("d", -i, first);
        if (vb::Weekday(candidate) == 2)
            break;
    }
    return Mod_FTPData::DateToDayNumber(candidate);
}

} // namespace Mod_tallyvane
