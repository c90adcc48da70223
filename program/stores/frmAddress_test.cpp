// The address dialog driven from the store editor over the example
// database: what it opens with, the country completion typed key by key,
// the boxes' tidying, OK, Cancel and the close box, and the dialog following
// the editor when it shows another address, another store, or closes.

#include "program/stores/frmAddress.h"

#include "platform/testing/TestSupport.h"
#include "platform/win/Desktop.h"
#include "program/stores/StoresTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AddressDialog : public tv::testing::StoreEditorFixture {
protected:
    frmAddress& openFor(int slot)
    {
        form().cmAddress(slot).Click.Raise();
        frmAddress* d = frmAddress::IfLoaded();
        EXPECT_NE(d, nullptr);
        return *d;
    }
    static QLineEdit* countryEdit(frmAddress& d)
    {
        return static_cast<QComboBox*>(d.cboCountry.Widget())->lineEdit();
    }
    static void type(frmAddress& d, const char* keys) { QTest::keyClicks(countryEdit(d), keys); }
    static void key(frmAddress& d, Qt::Key k) { QTest::keyClick(countryEdit(d), k); }
    static void clearCountry(frmAddress& d)
    {
        countryEdit(d)->selectAll();
        key(d, Qt::Key_Delete);
    }
    static std::string fieldsOf(const cAddress& a)
    {
        return a.Street() + "|" + a.City() + "|" + a.State() + "|" + a.Postcode() + "|" + a.Country();
    }
};

TEST_F(AddressDialog, OpensWithTheAddressAsItIsCountryIncluded)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    chooseStore(storeIdOf(3));
    frmAddress& d = openFor(0);
    EXPECT_EQ(d.Caption(), "Address Information");
    EXPECT_TRUE(d.Visible());
    EXPECT_EQ(s.g_AddressSlot, 0);
    EXPECT_EQ(d.txtAddress(0).Text(), "1120 Alaskan Way");
    EXPECT_EQ(d.txtAddress(1).Text(), "Seattle");
    EXPECT_EQ(d.txtAddress(2).Text(), "WA");
    EXPECT_EQ(d.txtAddress(3).Text(), "98101");
    EXPECT_EQ(d.cboCountry.Text(), "USA");
    ASSERT_EQ(d.cboCountry.ListCount(), 245);
    EXPECT_EQ(d.cboCountry.List(229), "United States of America");
    EXPECT_EQ(d.cboCountry.ItemData(229), 230);
    // Filling the boxes is no edit.
    EXPECT_FALSE(s.g_AddressChanged[0]);

    // No country stays no country (not the list's first entry) through OK;
    // a country outside the list stays as it is.
    f.txtStreet(0).SetText("1 Main St\r\nSeattle, WA 98101");
    d.cmdCancel.Click.Raise();
    frmAddress& again = openFor(0); // takes in what was typed into the box
    EXPECT_EQ(again.cboCountry.Text(), "");
    EXPECT_EQ(again.txtAddress(0).Text(), "1 Main St");
    again.cmdOK.Click.Raise();
    EXPECT_EQ(s.g_StoreAddress.Country(), "");
    EXPECT_EQ(f.txtStreet(0).Text(), "1 Main St\r\nSeattle, WA 98101\r\n");
    s.g_StoreAddress.SetCountry("Scotland");
    EXPECT_EQ(openFor(0).cboCountry.Text(), "Scotland");
    frmAddress::Dismiss();
    s.g_StoreAddress.SetAutoCorrect(false);
    s.g_StoreAddress.SetCountry("canada");
    EXPECT_EQ(openFor(0).cboCountry.Text(), "Canada");
}

TEST_F(AddressDialog, TheCountryCompletesAsItIsTyped)
{
    open();
    tv::StoresState& s = tv::Stores();
    chooseStore(storeIdOf(3));
    frmAddress& d = openFor(0);
    clearCountry(d);
    EXPECT_EQ(d.cboCountry.Text(), "");

    type(d, "uni");
    EXPECT_EQ(d.cboCountry.Text(), "United Arab Emirates");
    EXPECT_EQ(d.cboCountry.SelStart(), 3);
    EXPECT_EQ(d.cboCountry.SelLength(), 17);
    type(d, "ted s");
    EXPECT_EQ(d.cboCountry.Text(), "United States of America");
    EXPECT_EQ(d.cboCountry.SelStart(), 8);
    EXPECT_EQ(d.Working().Country(), "United States of America");

    // Backspace takes the proposed rest away and is not completed again;
    // the next key is.
    key(d, Qt::Key_Backspace);
    EXPECT_EQ(d.cboCountry.Text(), "United S");
    EXPECT_FALSE(s.g_CountryNoComplete[0]);
    type(d, "t");
    EXPECT_EQ(d.cboCountry.Text(), "United States of America");
    EXPECT_EQ(d.cboCountry.SelStart(), 9);
    clearCountry(d);
    type(d, "r");
    EXPECT_EQ(d.cboCountry.Text(), "R\u00e9union");
    key(d, Qt::Key_Backspace); // the rest
    key(d, Qt::Key_Backspace); // the R
    EXPECT_EQ(d.cboCountry.Text(), "");
    // Letter case is ignored beyond ASCII too.
    type(d, "R\u00c9");
    EXPECT_EQ(d.cboCountry.Text(), "R\u00e9union");
    EXPECT_EQ(d.cboCountry.SelLength(), 5);
    clearCountry(d);
    type(d, "us");
    EXPECT_EQ(d.cboCountry.Text(), "USA");
    EXPECT_EQ(d.cboCountry.SelLength(), 1);

    // Nothing listed begins with it: kept as typed, and OK stores it so.
    clearCountry(d);
    type(d, "xyz");
    EXPECT_EQ(d.cboCountry.Text(), "xyz");
    d.cmdOK.Click.Raise();
    EXPECT_EQ(s.g_StoreAddress.Country(), "xyz");
    EXPECT_EQ(form().txtStreet(0).Text(), "1120 Alaskan Way\r\nSeattle, WA 98101\r\nxyz");

    // Picked from the list.
    frmAddress& d2 = openFor(0);
    static_cast<QComboBox*>(d2.cboCountry.Widget())->setCurrentIndex(37);
    emit static_cast<QComboBox*>(d2.cboCountry.Widget())->activated(37);
    EXPECT_EQ(d2.Working().Country(), "Canada");
}

TEST_F(AddressDialog, OkPutsTheTidiedFieldsIntoTheEditorWithoutParsingThemAgain)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    const int16_t id = storeIdOf(3);
    chooseStore(id);
    frmAddress& d = openFor(0);
    d.txtAddress(0).SetText("10  downing  st,\r\nflat 2,");
    d.txtAddress(1).SetText("london,");
    d.txtAddress(2).SetText("");
    d.txtAddress(3).SetText("SW1A 2AA");
    clearCountry(d);
    type(d, "united k");
    // The editor's object is untouched until OK.
    EXPECT_EQ(s.g_StoreAddress.City(), "Seattle");
    EXPECT_EQ(d.Working().Street(), "10 Downing St\r\nFlat 2");
    EXPECT_EQ(d.Working().City(), "London");
    d.cmdOK.Click.Raise();
    EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
    EXPECT_EQ(fieldsOf(s.g_StoreAddress), "10 Downing St\r\nFlat 2|London||Sw1a 2aa|United Kingdom");
    EXPECT_EQ(f.txtStreet(0).Text(), "10 Downing St\r\nFlat 2\r\nLondon, Sw1a 2aa\r\nUnited Kingdom");
    EXPECT_FALSE(s.g_AddressChanged[0]);

    // Leaving the box parses nothing: a parse would make the postcode's
    // first half the state.
    bool cancel = false;
    f.txtStreet(0).Validate.Raise(cancel);
    EXPECT_EQ(fieldsOf(s.g_StoreAddress), "10 Downing St\r\nFlat 2|London||Sw1a 2aa|United Kingdom");
    chooseStore(storeIdOf(7));
    EXPECT_EQ(scalar("SELECT State FROM Stores WHERE StoreID = ?", {vb::Variant(id)}), vb::Variant(""));
    EXPECT_EQ(scalar("SELECT ZipCode FROM Stores WHERE StoreID = ?", {vb::Variant(id)}), vb::Variant("Sw1a 2aa"));
    chooseStore(id);
    EXPECT_EQ(fieldsOf(s.g_StoreAddress), "10 Downing St\r\nFlat 2|London||Sw1a 2aa|United Kingdom");

    // Every box emptied: an empty address and an empty editor box.
    frmAddress& d2 = openFor(0);
    for (int i = 0; i < 4; ++i)
        d2.txtAddress(i).SetText("");
    clearCountry(d2);
    d2.cmdOK.Click.Raise();
    EXPECT_EQ(f.txtStreet(0).Text(), "");
    EXPECT_EQ(fieldsOf(s.g_StoreAddress), "||||");
}

TEST_F(AddressDialog, CancelAndTheCloseBoxLeaveEveryFieldAsItWas)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    chooseStore(storeIdOf(7));
    const std::string fields = fieldsOf(s.g_StoreAddress);
    const std::string box = f.txtStreet(0).Text();
    for (bool closeBox : {false, true}) {
        frmAddress& d = openFor(0);
        for (int i = 0; i < 4; ++i)
            d.txtAddress(i).SetText("changed " + std::to_string(i));
        clearCountry(d);
        type(d, "fr");
        if (closeBox)
            d.hWnd()->close();
        else
            d.cmdCancel.Click.Raise();
        settle();
        EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
        EXPECT_EQ(fieldsOf(s.g_StoreAddress), fields);
        EXPECT_EQ(f.txtStreet(0).Text(), box);
        EXPECT_FALSE(s.g_AddressChanged[0]);
        EXPECT_FALSE(s.g_CountryNoComplete[0]);
    }
}

TEST_F(AddressDialog, FollowsTheEditorAcrossAddressesStoresAndItsClose)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    const int16_t id = storeIdOf(3);
    chooseStore(id);
    const std::string storeFields = fieldsOf(s.g_StoreAddress);

    // The other Address button loads the company's address into the same
    // dialog; the store's unconfirmed edit is dropped.
    frmAddress& d = openFor(0);
    d.txtAddress(1).SetText("Tacoma");
    EXPECT_EQ(openFor(0).txtAddress(1).Text(), "Tacoma"); // the same one again keeps the edit
    f.SSTab1.SetTab(1);
    frmAddress& same = openFor(1);
    EXPECT_EQ(&same, &d);
    EXPECT_EQ(s.g_AddressSlot, 1);
    EXPECT_EQ(d.Slot(), 1);
    EXPECT_EQ(d.txtAddress(0).Text(), s.g_LandLordAddress.Street());
    EXPECT_EQ(d.txtAddress(1).Text(), "Seattle");
    EXPECT_EQ(d.txtAddress(3).Text(), "98101");
    d.txtAddress(3).SetText("98104");
    d.cmdOK.Click.Raise();
    EXPECT_EQ(s.g_LandLordAddress.Postcode(), "98104");
    EXPECT_EQ(f.txtStreet(1).Text(), s.g_LandLordAddress.Address());
    EXPECT_NE(f.txtStreet(1).Text().find("Seattle, WA 98104\r\nUSA"), std::string::npos);
    EXPECT_EQ(fieldsOf(s.g_StoreAddress), storeFields);

    // Another store: the dialog closes and its edits go nowhere.
    frmAddress& d2 = openFor(0);
    d2.txtAddress(1).SetText("Tacoma");
    chooseStore(storeIdOf(7));
    EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
    EXPECT_EQ(s.g_StoreAddress.City(), "Portland");
    EXPECT_EQ(scalar("SELECT City FROM Stores WHERE StoreID = ?", {vb::Variant(id)}), vb::Variant("Seattle"));

    // Add New Store too.
    openFor(0);
    command("ADDNEWSTORE");
    EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
    command("CANCEL");

    // The editor closing takes the dialog with it, before the store's save.
    frmAddress& d3 = openFor(0);
    d3.txtAddress(1).SetText("Gresham");
    f.smuiMenuBar.Choose("CLOSE");
    settle();
    EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
    EXPECT_EQ(frmStoreInfo::IfLoaded(), nullptr);
    EXPECT_EQ(scalar("SELECT City FROM Stores WHERE StoreNumber = 7"), vb::Variant("Portland"));
}

TEST_F(AddressDialog, HelpOpensTheAddressPage)
{
    auto opener = std::make_shared<win::FakeUrlOpener>();
    win::SetUrlOpener(opener);
    const auto folder = root.ProgramFolder() / "tallyvanehelp" / "Address_Screen";
    std::filesystem::create_directories(folder);
    tv::testing::WriteRaw(folder / "Address_Screen.htm", "<html></html>");
    open();
    openFor(0).cmdHelp.Click.Raise();
    win::SetUrlOpener(nullptr);
    EXPECT_EQ(opener->opened, std::vector<std::string>{"file://" + (folder / "Address_Screen.htm").string()});
    EXPECT_NE(frmAddress::IfLoaded(), nullptr);
}

TEST_F(AddressDialog, TheEditorsAddressButtonsAndOKAreClickedAsAUserDoes)
{
    frmStoreInfo& f = open();
    chooseStore(storeIdOf(3));
    f.SSTab1.SetTab(1);
    QTest::mouseClick(f.cmAddress(1).Window(), Qt::LeftButton);
    frmAddress* d = frmAddress::IfLoaded();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(tv::Stores().g_AddressSlot, 1);
    d->txtAddress(1).SetText("Fort Worth");
    QTest::mouseClick(d->cmdOK.Window(), Qt::LeftButton);
    EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
    EXPECT_NE(f.txtStreet(1).Text().find("Fort Worth"), std::string::npos) << f.txtStreet(1).Text();
    EXPECT_EQ(f.txtStreet(0).Text().find("Fort Worth"), std::string::npos);

    f.SSTab1.SetTab(0);
    QTest::mouseClick(f.cmAddress(0).Window(), Qt::LeftButton);
    ASSERT_NE(frmAddress::IfLoaded(), nullptr);
    EXPECT_EQ(tv::Stores().g_AddressSlot, 0);
    EXPECT_EQ(frmAddress::IfLoaded()->txtAddress(1).Text(), "Seattle");
}

TEST_F(AddressDialog, Picture)
{
    open();
    chooseStore(storeIdOf(7));
    frmAddress& d = openFor(0);
    clearCountry(d);
    type(d, "uni");
    settle();
    Grab(d.hWnd(), "frmAddress");
}

} // namespace
