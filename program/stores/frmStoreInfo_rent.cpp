// The store editor's rent figures: the month's base rent, percentage rent,
// C.A.M. and taxes with their sum, and the month stepper.

#include "program/stores/frmStoreInfo.h"

void frmStoreInfo::wireRent()
{
    UpDown1.UpClick = [this] { UpDown1_UpClick(); };
    UpDown1.DownClick = [this] { UpDown1_DownClick(); };
    lblRate.On(&forms::Label::Click, [this](int Index) { lblRate_Click(Index); });
}

void frmStoreInfo::DisplayNewRentsValues() {}
void frmStoreInfo::StepRentMonth(int16_t step)
{
    (void)step;
}
void frmStoreInfo::UpDown1_DownClick() {}
void frmStoreInfo::UpDown1_UpClick() {}
void frmStoreInfo::lblRate_Click(int Index)
{
    (void)Index;
}
