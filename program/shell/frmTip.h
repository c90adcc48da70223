#pragma once
// "Tip of the Day": one of six usage hints, drawn at random, shown at
// start-up while the start-up switch is on. The check box is that switch.

#include "platform/forms/Forms.h"
#include "program/services/Lumvex.h"

#include <cstdint>
#include <string>
#include <vector>

class frmTip : public forms::FormOf<frmTip> {
public:
    frmTip();

    // The light bulb's picture file, among the shipped pictures.
    static constexpr const char* kBulb = "LightBulb.png";

    // White panel with the light bulb, the heading and the tip.
    forms::PictureBox Picture1{*this, "Picture1"};
    forms::Label Label1{Picture1, "Label1"};
    forms::Label lblTipText{Picture1, "lblTipText"};
    forms::CheckBox chkLoadTipsAtStartup{*this, "chkLoadTipsAtStartup"};
    Lumvex cmdNextTip{*this, "cmdNextTip"};
    Lumvex cmdOK{*this, "cmdOK"};

    // Tip n (1 to TipCount) is TipList[n - 1].
    std::vector<std::string> TipList;
    int32_t TipCount = 0;
    // The tip on show, 1 to TipCount.
    int32_t TipIndex = 0;

    // Shows tip TipIndex; nothing while there are no tips, or for an index
    // outside the list.
    void DisplayCurrentTip();

    void FillTipList();
    // Draws the next tip: every tip, the one on show included, is as likely.
    void PickRandomTip();

    void cmdNextTip_Click();
    void cmdOK_Click();
    void chkLoadTipsAtStartup_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void layOut();
};
