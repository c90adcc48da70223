#include "program/reports/frmHeadingColor.h"

#include "platform/basic/App.h"
#include "program/reports/Mod_Report_Builder.h"
#include "program/reports/ReportsState.h"
#include "program/reports/frmReport.h"
#include "program/services/Mod_Registry.h"
#include "program/services/Mod_SpecialFunctions.h"

frmHeadingColor::frmHeadingColor()
    : FormOf("frmHeadingColor")
{
    layOut();
    cpHeadingColor.ColorChanged = [this](forms::OLE_COLOR c) { cpHeadingColor_Change(c); };
    cpRowColor.ColorChanged = [this](forms::OLE_COLOR c) { cpRowColor_Change(c); };
    Lumvex2.Click = [this] { Lumvex2_Click(); };
}

void frmHeadingColor::layOut()
{
    SetCaption("Set report colors");
    SetBorderStyle(forms::vbFixedDialog);
    SetScaleMode(forms::vbPixels);
    Move(0, 0, vb::PixelsToTwips(330), vb::PixelsToTwips(150));
    Label1.SetCaption("Select a color for the report heading.");
    Label1.Move(12, 16, 240, 20);
    cpHeadingColor.Move(262, 12, 48, 26);
    Label2.SetCaption("Select a color for the report rows.");
    Label2.Move(12, 56, 240, 20);
    cpRowColor.Move(262, 52, 48, 26);
    Lumvex2.Move(230, 100, 80, 28);
}

void frmHeadingColor::Form_Load()
{
    // Pickers set from code raise nothing, and nothing is written until the
    // user picks: a missing or unreadable colour shows as white.
    loading_ = true;
    cpHeadingColor.SetColor(Mod_Report::StoredColor("HeadingColor"));
    cpRowColor.SetColor(Mod_Report::StoredColor("RowColor"));
    loading_ = false;
}

void frmHeadingColor::cpHeadingColor_Change(forms::OLE_COLOR color)
{
    colourPicked(color, "HeadingColor");
}

void frmHeadingColor::cpRowColor_Change(forms::OLE_COLOR color)
{
    colourPicked(color, "RowColor");
}

void frmHeadingColor::colourPicked(forms::OLE_COLOR color, const char* valueName)
{
    if (loading_)
        return;
    Mod_SpecialFunctions::SaveRegDWordIfChanged(vb::Variant(static_cast<int32_t>(color)), Mod_Registry::kReportsKey,
                                                valueName);
    if (auto* screen = frmReport::IfLoaded())
        screen->RebuildReport();
    else
        Mod_Report::GenerateReport(tv::Reports().g_CurrentReport);
}

void frmHeadingColor::Lumvex2_Click()
{
    Unload();
}
