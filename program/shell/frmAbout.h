#pragma once
// "Merrowgate Presents": the program's name and version, and the maker's web
// address, which opens in the desktop's browser when clicked.

#include "platform/forms/Forms.h"
#include "program/services/Lumvex.h"

class frmAbout : public forms::FormOf<frmAbout> {
public:
    frmAbout();

    forms::Label lblName{*this, "lblName"};
    forms::Label lblVersion{*this, "lblVersion"};
    forms::Label lblMoreInfo{*this, "lblMoreInfo"};
    forms::Label lblURL{*this, "lblURL"};
    forms::Image Image1{*this, "Image1"};
    Lumvex cmdOK{*this, "cmdOK"};

    void lblURL_Click();
    void cmdOK_Click();

protected:
    void Form_Load() override;

private:
    void layOut();
};
