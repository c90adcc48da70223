#pragma once
// The progress window of an update download: what the FTP session reports,
// and how much of the current file has arrived.

#include "platform/controls/ProgressBar.h"
#include "platform/forms/Forms.h"

class frmProgress : public forms::FormOf<frmProgress> {
public:
    static constexpr const char* kCaption = "Downloading Tallyvane Update";

    frmProgress();

    forms::Label lblInfo{*this, "lblInfo"};
    // 0 to 100.
    controls::ProgressBar ProgressBar1{*this, "ProgressBar1"};
};
