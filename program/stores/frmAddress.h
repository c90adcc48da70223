#pragma once
// "Address Information": one of the store editor's two postal addresses (0
// the store's, 1 its property management company's) in separate boxes, with
// a country box that completes what is typed from the country list.
//
// The dialog is modeless and works on a copy of the address: the boxes tidy
// the copy as they are typed in, OK puts the copy into the editor's address
// object and its composed text into the editor's address box, and Cancel or
// the close box drop it. The editor's own address box is never flagged for a
// re-parse by the dialog, so what OK wrote is not parsed again (a postcode
// without a state, or a country outside the list, would not survive it).

#include "platform/forms/Forms.h"
#include "program/services/Lumvex.h"
#include "program/stores/cAddress.h"

#include <cstdint>
#include <string>

class frmAddress : public forms::FormOf<frmAddress> {
public:
    frmAddress();

    // 0 Street (several lines), 1 City, 2 State, 3 Zip/Postal Code.
    class AddressBox : public forms::TextBox {
    public:
        AddressBox(forms::Container& parent, std::string name, int index)
            : TextBox(parent, std::move(name), index, index == 0)
        {
        }
    };

    forms::Frame fraAddress{*this, "fraAddress"};
    forms::ControlArray<forms::Label> lblAddress{fraAddress, "lblAddress", {0, 1, 2, 3, 4}};
    forms::ControlArray<AddressBox> txtAddress{fraAddress, "txtAddress", {0, 1, 2, 3}};
    forms::ComboBox cboCountry{fraAddress, "cboCountry", -1, forms::vbComboDropdown};
    Lumvex cmdOK{*this, "cmdOK"};
    Lumvex cmdCancel{*this, "cmdCancel"};
    Lumvex cmdHelp{*this, "cmdHelp"};

    // Fills the boxes from the address of the slot (its fields as they are;
    // the country as stored, in the list's spelling when it is a listed
    // country, empty when there is none) and starts editing a copy of it.
    void EditAddress(int16_t slot, const cAddress& address);
    // The address being edited, with the boxes' tidying applied.
    const cAddress& Working() const { return working_; }
    int16_t Slot() const { return slot_; }

    // Closes the dialog as Cancel does, when it is open: the store editor
    // calls it when it shows another store or closes.
    static void Dismiss();

    void txtAddress_Change(int Index);
    void cboCountry_Change();
    void cboCountry_Click();
    void cboCountry_KeyDown(int& KeyCode, int& Shift);
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void layOut();

    cAddress working_;
    int16_t slot_ = 0;
    // The boxes are being filled, or the country box completed, by code.
    bool filling_ = false;
};
