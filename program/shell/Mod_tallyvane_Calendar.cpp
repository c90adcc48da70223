#include "program/shell/Mod_tallyvane_Calendar.h"

#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/App.h"
#include "platform/basic/NumberText.h"
#include "platform/basic/Variant.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ProgramPictures.h"
#include "program/services/ShellState.h"
#include "program/shell/frmTallyvane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

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

// The picture kind a row's Image names, its text read once: a number from
// 0.5 up to 32767.5, rounded as CInt rounds; none for anything else.
std::optional<int16_t> pictureKind(const vb::Variant& image)
{
    double value = 0;
    if (image.Type() == vb::VarType::String) {
        const std::string text = vb::CStr(image);
        if (!text.empty() && text.size() <= 5
            && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            // The stored form, "1" to "5": digits alone need no number parser.
            for (char c : text)
                value = value * 10 + (c - '0');
        } else {
            vb::detail::ParsedNumber n;
            if (!vb::detail::ParseNumberText(text, n))
                return std::nullopt;
            value = vb::detail::ToDouble(n);
        }
    } else if (vb::IsNumeric(image)) {
        value = vb::CDbl(image);
    } else {
        return std::nullopt;
    }
    if (!(value >= 0.5 && value < 32767.5))
        return std::nullopt;
    return vb::CInt(vb::Variant(value));
}

// One day's reminders gathered as the ordered rows arrive, handed to the
// calendar once when the next day begins.
class DayBeingFilled {
public:
    explicit DayBeingFilled(controls::ctCalendar& calendar) : calendar_(calendar) {}
    ~DayBeingFilled() { flush(); }

    void Add(int32_t day, const vb::Variant& info, std::optional<int16_t> kind,
             const std::array<bool, kImageSlots>& custom, bool customMulti)
    {
        if (!day_ || *day_ != day) {
            flush();
            day_ = day;
            // Rows of one day normally come together; a day met again keeps
            // what it was given before.
            text_ = calendar_.DayText(day);
            picture_ = calendar_.DayPicture(day);
        }
        text_ += "\n\r";
        if (!info.IsNull())
            text_ += vb::CStr(info);
        if (!kind)
            return;
        const int k = *kind - 1;
        const bool own = k >= 0 && k < kImageSlots && custom[static_cast<size_t>(k)];
        if (picture_ != 0) {
            // Several reminders on the day: the user's own picture for that
            // when there is one.
            picture_ = customMulti ? kFirstSlotPicture + kMultiImageSlot : kSeveralRemindersPicture;
        } else if (own) {
            picture_ = static_cast<int16_t>(kFirstSlotPicture + k);
        } else {
            picture_ = *kind;
        }
    }

private:
    void flush()
    {
        if (!day_)
            return;
        calendar_.SetDayText(*day_, text_);
        calendar_.SetDayPicture(*day_, picture_);
        day_.reset();
    }

    controls::ctCalendar& calendar_;
    std::optional<int32_t> day_;
    std::string text_;
    int16_t picture_ = 0;
};

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

    // The whole table in one ordered query, on our own handle: a refill
    // started from a handler below must not walk rows another open has closed.
    tv::ShellState& shell = tv::Shell();
    Mod_DBConnections::CloseCalInfo();
    auto command = ado::Command::Create();
    command->ActiveConnection(shell.g_DBConnection);
    command->CommandType(ado::adCmdText);
    command->CommandText("SELECT * FROM CalInfo ORDER BY date, ID");
    shell.g_cmdCalInfo = command;
    struct CloseOnExit {
        ~CloseOnExit() { Mod_DBConnections::CloseCalInfo(); }
    } closeCalInfo;
    const ado::RecordsetPtr rs = shell.g_rsCalInfo = command->Execute();
    shell.g_CalInfoOpen = true;
    if (rs->State() == ado::adStateOpen) {
        // The fields read the current row: each is looked up once.
        const ado::Field dateField = rs->Fields("Date");
        const ado::Field infoField = rs->Fields("info");
        const ado::Field imageField = rs->Fields("Image");
        DayBeingFilled day(calendar);
        for (; !rs->EOF_(); rs->MoveNext()) {
            // A row without a usable day is left out; the others still show.
            const vb::Variant date = dateField.Value();
            if (!vb::IsNumeric(date))
                continue;
            if (std::abs(vb::CDbl(date)) > 2.0e9)
                continue;
            day.Add(vb::CLng(date), infoField.Value(), pictureKind(imageField.Value()), custom,
                    custom[kMultiImageSlot]);
        }
    }
    // Only the calendar's days changed: they are what the window repaints.
    calendar.Refresh();
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
