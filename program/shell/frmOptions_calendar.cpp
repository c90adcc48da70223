// The options window's calendar page: each choice shows on the main calendar
// at once; the settings store receives them when the window closes.

#include "program/shell/frmOptions.h"

#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/controls/ctCalendar.h"
#include "program/shell/Mod_tallyvane_Calendar.h"
#include "program/shell/frmTallyvane.h"

#include <QPixmap>

#include <filesystem>
#include <string>

namespace {

constexpr const char* kApp = "Tallyvane";
constexpr const char* kSection = "frmOptions";

} // namespace

long frmOptions::stored(const std::string& key, long low, long high, long fallback)
{
    const std::string text = vb::GetSetting(kApp, kSection, key, "");
    if (const auto value = vb::StoredWholeNumber(text, low, high))
        return *value;
    // A damaged value is kept unless the user makes a choice in its place.
    if (!text.empty())
        unreadable_[key] = std::to_string(fallback);
    return fallback;
}

void frmOptions::save(const std::string& key, const std::string& value)
{
    const auto unread = unreadable_.find(key);
    if (unread != unreadable_.end() && unread->second == value)
        return;
    vb::SaveSetting(kApp, kSection, key, value);
}

controls::ctCalendar& frmOptions::calendar()
{
    return frmTallyvane::Instance().ctCalendar1;
}

void frmOptions::LoadCalendarOptions()
{
    vb::ResumeNext step;
    unreadable_.clear();
    // Selecting an entry runs the list's handler, which shows it on the
    // calendar: the calendar shows the stored choices already.
    for (forms::ComboBox* combo :
         {&cboIconAlign, &cboIconPosition, &cboDateAlign, &cboDatePos, &cboTextAlign, &cboTextPos})
        step([&] { combo->SetListIndex(static_cast<int>(stored(combo->Name(), 0, combo->ListCount() - 1, 0))); });
    step([&] {
        txtBackgroundImage.SetText(vb::GetSetting(kApp, kSection, "BackGroundImage",
                                                  Mod_tallyvane::DefaultBackgroundImage().string()));
    });
    // The calendar's own defaults: opening and closing this window leaves
    // its colours as they were.
    step([&] {
        ColorPicker1.SetColor(static_cast<forms::OLE_COLOR>(
            stored("WeekendColor", 0, 0xFFFFFF, Mod_tallyvane::kDefaultWeekendColor)));
    });
    step([&] {
        ColorPicker2.SetColor(static_cast<forms::OLE_COLOR>(
            stored("DateHeadingColor", 0, 0xFFFFFF, Mod_tallyvane::kDefaultDateHeadingColor)));
    });
    step([&] { chkSmallIcons.SetValue(static_cast<int>(stored("chkSmallIcons", 0, 1, 1))); });
    step([&] { chkGroupWeekends.SetValue(static_cast<int>(stored("chkGroupWeekends", 0, 1, 1))); });
    step([&] { ChkShowWeekend.SetValue(static_cast<int>(stored("ChkShowWeekendColor", 0, 1, 1))); });
    step([&] { chkShowDateHeadings.SetValue(static_cast<int>(stored("chkShowDateHeadings", 0, 1, 1))); });
    step([&] {
        const bool weekend = ChkShowWeekend.Value() == forms::vbChecked;
        lblSelColor.SetEnabled(weekend);
        ColorPicker1.SetEnabled(weekend);
    });
    step([&] {
        const bool headings = chkShowDateHeadings.Value() == forms::vbChecked;
        lblDateHeadingColor.SetEnabled(headings);
        ColorPicker2.SetEnabled(headings);
    });
}

void frmOptions::SaveCalendarOptions()
{
    vb::ResumeNext step;
    for (forms::ComboBox* combo :
         {&cboIconAlign, &cboIconPosition, &cboDateAlign, &cboDatePos, &cboTextAlign, &cboTextPos})
        step([&] { save(combo->Name(), std::to_string(combo->ListIndex())); });
    step([&] { save("chkSmallIcons", std::to_string(chkSmallIcons.Value())); });
    step([&] { save("chkGroupWeekends", std::to_string(chkGroupWeekends.Value())); });
    step([&] { save("ChkShowWeekendColor", std::to_string(ChkShowWeekend.Value())); });
    step([&] { save("chkShowDateHeadings", std::to_string(chkShowDateHeadings.Value())); });
    step([&] { save("WeekendColor", std::to_string(ColorPicker1.Color())); });
    step([&] { save("DateHeadingColor", std::to_string(ColorPicker2.Color())); });
    step([&] { save("BackGroundImage", txtBackgroundImage.Text()); });
}

void frmOptions::cboIconAlign_Click()
{
    calendar().SetIconAlignment(cboIconAlign.ListIndex());
}

void frmOptions::cboIconPosition_Click()
{
    calendar().SetIconPosition(cboIconPosition.ListIndex());
}

void frmOptions::cboDateAlign_Click()
{
    calendar().SetDateAlignment(cboDateAlign.ListIndex());
}

void frmOptions::cboDatePos_Click()
{
    calendar().SetDatePosition(cboDatePos.ListIndex());
}

void frmOptions::cboTextAlign_Click()
{
    calendar().SetTextAlignment(cboTextAlign.ListIndex());
}

void frmOptions::cboTextPos_Click()
{
    calendar().SetTextPosition(cboTextPos.ListIndex());
}

void frmOptions::chkSmallIcons_Click()
{
    if (loading_)
        return;
    calendar().SetSmallIcons(chkSmallIcons.Value());
}

void frmOptions::chkGroupWeekends_Click()
{
    if (loading_)
        return;
    calendar().SetGroupWeekends(chkGroupWeekends.Value());
}

void frmOptions::chkShowDateHeadings_Click()
{
    if (loading_)
        return;
    calendar().SetShowDateHeadings(chkShowDateHeadings.Value());
    const bool on = chkShowDateHeadings.Value() == forms::vbChecked;
    lblDateHeadingColor.SetEnabled(on);
    ColorPicker2.SetEnabled(on);
}

void frmOptions::ChkShowWeekend_Click()
{
    if (loading_)
        return;
    const bool on = ChkShowWeekend.Value() == forms::vbChecked;
    calendar().SetWeekendDayColor(on ? static_cast<int32_t>(ColorPicker1.Color()) : -1);
    lblSelColor.SetEnabled(on);
    ColorPicker1.SetEnabled(on);
}

void frmOptions::ColorPicker1_ColorChanged(forms::OLE_COLOR color)
{
    calendar().SetWeekendDayColor(static_cast<int32_t>(color));
}

void frmOptions::ColorPicker2_ColorChanged(forms::OLE_COLOR color)
{
    calendar().SetDayHeadingColor(color);
}

void frmOptions::SelectBackgroundImage()
{
    try {
        CommonDialog1.CancelError = true;
        CommonDialog1.DefaultExt.clear();
        CommonDialog1.Filter = "All Picture Files |" + PicturePatterns();
        CommonDialog1.FilterIndex = 1;
        CommonDialog1.ShowOpen();
        const std::string file = CommonDialog1.FileName;
        std::error_code ec;
        if (file.empty() || !std::filesystem::is_regular_file(file, ec))
            return;
        QPixmap picture;
        if (!picture.load(QString::fromStdString(file)))
            return;
        calendar().SetBackgroundPicture(picture);
        txtBackgroundImage.SetText(file);
    } catch (const vb::RuntimeError&) {
        // Cancel, or a picture the calendar would not take: nothing changes.
    }
}
