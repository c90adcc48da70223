// The store editor's Store and Property Manager tabs driven headless over
// the example database: the number icon, the icon box and the icon file,
// the address boxes, the company list with its choice and its delete, the
// web site, and every field of both tabs through the database.

#include "program/stores/frmStoreInfo.h"

#include "platform/basic/App.h"
#include "platform/basic/Strings.h"
#include "platform/forms/MsgBox.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/Desktop.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StoresTestSupport.h"
#include "program/stores/cCreateIcons.h"
#include "program/stores/frmAddress.h"

#include <QFontMetrics>
#include <QImage>
#include <QScrollArea>
#include <QPixmap>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class StoreDetails : public tv::testing::StoreEditorFixture {
protected:
    void SetUp() override
    {
        StoreEditorFixture::SetUp();
        win::SetUrlOpener(urls);
    }
    void TearDown() override
    {
        StoreEditorFixture::TearDown();
        win::SetUrlOpener(nullptr);
    }

    // The picture the number icon of n shows, drawn apart from the editor.
    QImage numberIcon(int n)
    {
        const fs::path file = root.Path() / ("expected" + std::to_string(n) + ".ico");
        cCreateIcons().GenerateIcon(n, file);
        return QPixmap(QString::fromStdString(file.string())).toImage().convertToFormat(QImage::Format_ARGB32);
    }
    static QImage shown(const forms::Image& image)
    {
        return image.Picture().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    static void leave(controls::RichTextBox& box)
    {
        bool cancel = false;
        box.Validate.Raise(cancel);
    }

    std::shared_ptr<win::FakeUrlOpener> urls = std::make_shared<win::FakeUrlOpener>();
};

TEST_F(StoreDetails, TheNumberIconFollowsEachKeystrokeAndANumberTooLargeIsTold)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    chooseStore(storeIdOf(48));
    ASSERT_EQ(f.chkUseDefaultIcon.Value(), 1);
    const int16_t id = s.g_CurrentStoreID;
    const std::string imageKey = "STOREIMAGE" + std::to_string(id);

    for (const char* typed : {"4", "42", "420"}) {
        f.txtStoreNumber.SetText(typed);
        EXPECT_EQ(shown(f.Image1), numberIcon(std::stoi(typed))) << typed;
        EXPECT_TRUE(f.smuiPanel(0).ListImages().Exists(imageKey));
        // The file is only the way to the picture.
        EXPECT_FALSE(fs::exists(StoreIconFile(std::stoi(typed))));
    }
    EXPECT_EQ(s.g_LastStoreNumber, 420);

    // Above what a store number can hold: a message, the icon and the last
    // number stay; text that is no number does nothing at all.
    const QImage before = shown(f.Image1);
    f.txtStoreNumber.SetText("40000");
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(mbox->shown[0].prompt,
              "40000 is not a valid store number.  Store numbers are whole numbers from 0 to 32767.");
    f.txtStoreNumber.SetText("4x");
    f.txtStoreNumber.SetText("");
    EXPECT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(s.g_LastStoreNumber, 420);
    EXPECT_EQ(shown(f.Image1), before);

    // Without the number icon, the number is remembered and the icon left.
    f.txtStoreNumber.SetText("51");
    f.chkUseDefaultIcon.SetValue(0);
    const QImage noIcon = shown(f.Image1);
    EXPECT_EQ(f.Image1.Tag, Mod_StoreInfo::kNoIcon);
    f.txtStoreNumber.SetText("52");
    EXPECT_EQ(s.g_LastStoreNumber, 52);
    EXPECT_EQ(shown(f.Image1), noIcon);
    EXPECT_EQ(mbox->shown.size(), 1u);
    f.chkUseDefaultIcon.SetValue(1);
    EXPECT_EQ(shown(f.Image1), numberIcon(52));
    // 1000 and more cannot be drawn: the icon routine's own message.
    f.chkUseDefaultIcon.SetValue(1);
    f.txtStoreNumber.SetText("1000");
    EXPECT_EQ(mbox->shown.back().title, "Cannot generate icon");
}

TEST_F(StoreDetails, ARefusedRenumberLeavesTheListShowingWhatIsStored)
{
    frmStoreInfo& f = open();
    chooseStore(storeIdOf(48));
    const int16_t id = tv::Stores().g_CurrentStoreID;
    const std::string key = std::to_string(id);
    const std::string name = vb::CStr(scalar("SELECT StoreName FROM Stores WHERE StoreID = ?", {vb::Variant(id)}));
    const int other = vb::CLng(scalar("SELECT StoreNumber FROM Stores WHERE StoreNumber <> 48 AND "
                                      "(Icon IS NULL OR Icon = '') ORDER BY StoreNumber LIMIT 1"));
    const int16_t otherID = storeIdOf(other);
    auto listed = [&](const std::string& k) {
        return f.smuiPanel(0).ListImages().Picture("STOREIMAGE" + k).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    ASSERT_EQ(listed(key), numberIcon(48));

    // The list follows the typing...
    f.txtStoreNumber.SetText(std::to_string(other));
    f.txtStoreName.SetText("Renamed");
    EXPECT_EQ(listed(key), numberIcon(other));
    EXPECT_EQ(f.smuiPanel(0).Items().Item(key).Caption(), "Renamed");

    // ...and goes back to the stored number and name when the save refuses
    // the duplicate number on the way to another store.
    chooseStore(otherID);
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_NE(mbox->shown[0].prompt.find("is a duplicate store number"), std::string::npos);
    EXPECT_EQ(vb::CLng(scalar("SELECT StoreNumber FROM Stores WHERE StoreID = ?", {vb::Variant(id)})), 48);
    EXPECT_EQ(listed(key), numberIcon(48));
    EXPECT_EQ(f.smuiPanel(0).Items().Item(key).Caption(), name);
    EXPECT_EQ(listed(std::to_string(otherID)), numberIcon(other));
    EXPECT_EQ(tv::Stores().g_CurrentStoreID, otherID);
}

TEST_F(StoreDetails, TheIconBoxAndTheIconFile)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    const int16_t id = storeIdOf(12);
    chooseStore(id);
    EXPECT_EQ(shown(f.Image1), numberIcon(12));

    // Ticked, the icon is the number's: a click on it chooses no file.
    f.Image1.Click.Raise();
    EXPECT_TRUE(dialogs->fileRequests.empty());

    // Cleared: the no-icon picture, then a file chosen through the dialog.
    f.chkUseDefaultIcon.SetValue(0);
    EXPECT_EQ(f.Image1.Tag, Mod_StoreInfo::kNoIcon);
    EXPECT_TRUE(f.lblStoreIcon.Visible());
    EXPECT_FALSE(s.g_StoreBusy);
    const fs::path chosen = root.Path() / "pictures" / "harbor.ico";
    fs::create_directories(chosen.parent_path());
    cCreateIcons().GenerateIcon(77, chosen);
    dialogs->files = {std::nullopt, (root.Path() / "pictures" / "missing.ico").string(), chosen.string()};
    f.Image1.Click.Raise(); // cancelled
    f.Image1.Click.Raise(); // a file that is not there
    EXPECT_EQ(f.Image1.Tag, Mod_StoreInfo::kNoIcon);
    EXPECT_TRUE(mbox->shown.empty());
    f.Image1.Click.Raise();
    ASSERT_EQ(dialogs->fileRequests.size(), 3u);
    EXPECT_EQ(dialogs->fileRequests[0].filter, "Icon Files |*.ico");
    EXPECT_EQ(dialogs->fileRequests[0].defaultExt, ".ico");
    EXPECT_EQ(f.Image1.Tag, chosen.string());
    EXPECT_EQ(shown(f.Image1), numberIcon(77));

    // The choice is the store's icon in the database and comes back with it.
    chooseStore(storeIdOf(3));
    EXPECT_EQ(scalar("SELECT Icon FROM Stores WHERE StoreID = ?", {vb::Variant(id)}), vb::Variant(chosen.string()));
    chooseStore(id);
    EXPECT_EQ(f.chkUseDefaultIcon.Value(), 0);
    EXPECT_EQ(f.Image1.Tag, chosen.string());

    // Ticking again goes back to the number icon; clearing the tick brings
    // back the chosen file.
    f.chkUseDefaultIcon.SetValue(1);
    EXPECT_EQ(shown(f.Image1), numberIcon(12));
    f.chkUseDefaultIcon.SetValue(0);
    EXPECT_EQ(shown(f.Image1), numberIcon(77));
}

TEST_F(StoreDetails, ANewStoreWithoutANumberGetsAMessageFromTheIconBoxNeverAnEnd)
{
    frmStoreInfo& f = open();
    command("ADDNEWSTORE");
    ASSERT_EQ(f.txtStoreNumber.Text(), "");
    ASSERT_EQ(f.chkUseDefaultIcon.Value(), 1);

    f.chkUseDefaultIcon.SetValue(0);
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(mbox->shown[0].prompt, "There is no store number yet, so the store has no number icon.  Click the icon "
                                     "to choose an icon file.");
    EXPECT_EQ(f.Image1.Tag, Mod_StoreInfo::kNoIcon);

    f.chkUseDefaultIcon.SetValue(1);
    ASSERT_EQ(mbox->shown.size(), 2u);
    EXPECT_EQ(mbox->shown[1].prompt, "There is no store number yet to draw the icon from.  The icon will show the "
                                     "number as soon as one is entered.");
    // ... and so it does.
    f.txtStoreNumber.SetText("9");
    EXPECT_EQ(shown(f.Image1), numberIcon(9));
    EXPECT_TRUE(f.smuiPanel(0).ListImages().Exists("STOREIMAGE32768"));

    // A number no store can carry is named in the message.
    f.txtStoreNumber.SetText("9.5");
    f.chkUseDefaultIcon.SetValue(0);
    EXPECT_EQ(mbox->shown.back().prompt, "9.5 is not a valid store number, so the store has no number icon.  Click "
                                         "the icon to choose an icon file.");
    f.chkUseDefaultIcon.SetValue(1);
    EXPECT_EQ(mbox->shown.back().prompt,
              "9.5 is not a valid store number.  Store numbers are whole numbers from 0 to 32767.");
    EXPECT_FALSE(tv::Stores().g_StoreBusy);
}

TEST_F(StoreDetails, AnAddressBoxIsParsedWhenLeftAfterTypingOnly)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    chooseStore(storeIdOf(7));
    // The load set the box without flagging it.
    EXPECT_EQ(f.txtStreet(0).Text(), s.g_StoreAddress.Address());
    EXPECT_EQ(s.g_StoreAddress.City(), "Portland");
    EXPECT_FALSE(s.g_AddressChanged[0]);
    EXPECT_FALSE(s.g_AddressChanged[1]);

    // Typed: rewritten in the object's tidy form when the box is left.
    f.txtStreet(0).SetText("12  harbor  way\r\nsalem,   or 97301\r\ncanada");
    EXPECT_TRUE(s.g_AddressChanged[0]);
    EXPECT_FALSE(s.g_AddressChanged[1]);
    leave(f.txtStreet(0));
    EXPECT_EQ(f.txtStreet(0).Text(), "12 Harbor Way\r\nSalem, OR 97301\r\nCanada");
    EXPECT_EQ(s.g_StoreAddress.City(), "Salem");
    EXPECT_EQ(s.g_StoreAddress.Country(), "Canada");
    EXPECT_FALSE(s.g_AddressChanged[0]);

    // Left untouched after code set it: the text stays as it is, even where
    // a parse would read it otherwise.
    {
        s.g_AddressLoading[1] = true;
        f.txtStreet(1).SetText("London, SW1A 1AA");
        s.g_AddressLoading[1] = false;
    }
    EXPECT_FALSE(s.g_AddressChanged[1]);
    leave(f.txtStreet(1));
    EXPECT_EQ(f.txtStreet(1).Text(), "London, SW1A 1AA");

    // Emptied: the address is gone, not put back.
    f.txtStreet(0).SetText(" \r\n");
    leave(f.txtStreet(0));
    EXPECT_EQ(f.txtStreet(0).Text(), "");
    EXPECT_EQ(s.g_StoreAddress.Street(), "");
    EXPECT_EQ(s.g_StoreAddress.Country(), "");
    chooseStore(storeIdOf(3));
    for (const char* column : {"Street", "City", "State", "ZipCode", "Region"})
        EXPECT_EQ(vb::CStr(Mod_StoreInfo::EmptyIfNull(scalar(std::string("SELECT ") + column +
                                                             " FROM Stores WHERE StoreNumber = 7"))),
                  "")
            << column;

    // The real focus move runs the same parse.
    chooseStore(storeIdOf(7));
    f.hWnd()->activateWindow();
    f.txtStreet(0).SetFocus();
    settle();
    f.txtStreet(0).SetText("1 elm st\r\nsalem, or 97301");
    f.txtManager.SetFocus();
    settle();
    EXPECT_EQ(f.txtStreet(0).Text(), "1 Elm St\r\nSalem, OR 97301\r\n");
}

TEST_F(StoreDetails, CompanyListShowsChoosesAndDeletes)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    chooseStore(storeIdOf(48)); // no company
    f.SSTab1.SetTab(1);
    EXPECT_EQ(f.txtLLCompany.Text(), "");

    // Shown over Business and Fax; the button hides it again.
    f.cmdSelPM.Click.Raise();
    EXPECT_TRUE(f.smuiPMList.Visible());
    EXPECT_FALSE(f.txtLLBusiness.Visible());
    EXPECT_FALSE(f.txtLLFax.Visible());
    EXPECT_EQ(f.smuiPMList.Items().Count(), 4);
    f.cmdSelPM.Click.Raise();
    EXPECT_FALSE(f.smuiPMList.Visible());
    EXPECT_TRUE(f.txtLLBusiness.Visible());
    EXPECT_TRUE(f.txtLLFax.Visible());

    // Typing a name hides the list and shows the boxes at once.
    f.cmdSelPM.Click.Raise();
    f.txtLLCompany.SetText("Gr");
    EXPECT_FALSE(f.smuiPMList.Visible());
    EXPECT_TRUE(f.txtLLBusiness.Visible());

    // A right click before any company was pressed asks nothing.
    f.cmdSelPM.Click.Raise();
    f.smuiPMList.MouseDown.Raise(forms::vbRightButton, 0, 10, 10);
    EXPECT_TRUE(msgbox->shown.empty());

    // Chosen: the company's fields, the list closed; the next save links it.
    f.smuiPMList.Press("4", forms::vbLeftButton);
    EXPECT_EQ(s.g_SelectedLandLordID, 4);
    EXPECT_EQ(s.g_SelectedLandLordName, "Granite Peak Management");
    EXPECT_EQ(f.txtLLCompany.Text(), "Granite Peak Management");
    EXPECT_EQ(f.txtLLContact.Text(), "Thomas Reyes");
    EXPECT_EQ(f.txtStreet(1).Text(), "1700 Lincoln St\r\nDenver, CO 80203\r\nUSA");
    EXPECT_FALSE(f.smuiPMList.Visible());
    EXPECT_TRUE(f.txtLLBusiness.Visible());
    EXPECT_TRUE(f.txtLLFax.Visible());
    const int16_t store48 = storeIdOf(48);
    chooseStore(storeIdOf(3));
    EXPECT_EQ(scalar("SELECT LandLordID FROM Stores WHERE StoreID = ?", {vb::Variant(store48)}), vb::Variant(4));
    EXPECT_TRUE(msgbox->shown.empty());

    // Right button on a company: the question names it. No keeps it.
    f.cmdSelPM.Click.Raise();
    msgbox->answers = {forms::vbNo, forms::vbYes};
    f.smuiPMList.Press("1", forms::vbRightButton);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_EQ(msgbox->shown[0].prompt, "Delete 'Meridian Property Group' property manager?");
    EXPECT_EQ(msgbox->shown[0].buttons, forms::vbYesNo);
    EXPECT_EQ(msgbox->shown[0].title, vb::App::Title());
    EXPECT_EQ(count("SELECT count(*) FROM LandLord WHERE LandLordID = 1"), 1);
    // Yes removes it from the table and the list and unlinks its stores.
    f.smuiPMList.Press("1", forms::vbRightButton);
    EXPECT_EQ(count("SELECT count(*) FROM LandLord WHERE LandLordID = 1"), 0);
    EXPECT_FALSE(f.smuiPMList.Items().Exists("1"));
    EXPECT_EQ(count("SELECT count(*) FROM Stores WHERE LandLordID = 1"), 0);
    // The deleted company is no longer the one a right click acts on.
    f.smuiPMList.MouseDown.Raise(forms::vbRightButton, 0, 10, 400);
    EXPECT_EQ(msgbox->shown.size(), 2u);
}

TEST_F(StoreDetails, ANewCompanyTypedIsCreatedByTheNextSave)
{
    frmStoreInfo& f = open();
    const int16_t id = storeIdOf(102); // no company
    chooseStore(id);
    f.txtLLCompany.SetText("Desert Sky Holdings");
    f.txtLLWebSite.SetText("https://desertsky.example/leasing");
    f.txtLLContact.SetText("June Ortiz");
    f.txtLLEmail.SetText("june@desertsky.example");
    f.txtLLBusiness.SetText("(520) 555-0190");
    f.txtLLFax.SetText("(520) 555-0191");
    f.txtStreet(1).SetText("88 saguaro ln\r\ntucson, az 85701");
    leave(f.txtStreet(1));
    msgbox->answers = {forms::vbYes};
    chooseStore(storeIdOf(3));
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_EQ(msgbox->shown[0].prompt, "Would you like to create a new property management company called Desert Sky "
                                       "Holdings");
    const vb::Variant company =
        scalar("SELECT LandLordID FROM LandLord WHERE Company = 'Desert Sky Holdings'");
    ASSERT_FALSE(company.IsEmpty());
    EXPECT_EQ(scalar("SELECT LandLordID FROM Stores WHERE StoreID = ?", {vb::Variant(id)}), company);
    EXPECT_EQ(scalar("SELECT City FROM LandLord WHERE LandLordID = ?", {company}), vb::Variant("Tucson"));
    f.cmdSelPM.Click.Raise();
    EXPECT_EQ(f.smuiPMList.Items().Count(), 5);
}

TEST_F(StoreDetails, TheWebSiteOpensOnlyWebAddresses)
{
    frmStoreInfo& f = open();
    chooseStore(storeIdOf(3));
    f.SSTab1.SetTab(1);
    EXPECT_EQ(f.txtLLWebSite.Text(), "www.meridianpg.example");
    f.txtLLWebSite.DblClick.Raise();
    for (const char* site : {"https://meridianpg.example/contact", "HTTP://Meridianpg.example", "", "   ",
                             "file:///etc/passwd", "/usr/bin/xterm", "C:\\Windows\\notepad.exe",
                             "javascript:alert(1)", "ftp://meridianpg.example", "mailto:a@b.example", "http://"}) {
        f.txtLLWebSite.SetText(site);
        f.txtLLWebSite.DblClick.Raise();
    }
    EXPECT_EQ(urls->opened, (std::vector<std::string>{"http://www.meridianpg.example",
                                                      "https://meridianpg.example/contact",
                                                      "http://meridianpg.example"}));
    EXPECT_TRUE(mbox->shown.empty());
    EXPECT_TRUE(msgbox->shown.empty());
}

TEST_F(StoreDetails, EveryFieldOfBothTabsGoesThroughTheDatabase)
{
    frmStoreInfo& f = open();
    const int16_t id = storeIdOf(21);
    chooseStore(id);
    struct Field {
        forms::TextBox& box;
        const char* column; // of Stores, or of the store's company (LandLord 3)
        bool company;
        std::string value;
    };
    const Field fields[] = {
        {f.txtStoreName, "StoreName", false, "Maple Grove Outlet"},
        {f.txtStoreNumber, "StoreNumber", false, "22"},
        {f.txtManager, "Manager", false, "Sarah Lindqvist-Berg"},
        {f.txtAsstManager, "AsstManager", false, "Tom Becker Jr."},
        {f.txt3rdKey, "ThirdKey", false, "Quinn O'Hara"},
        {f.txtBusPhone, "Phone", false, "(612) 555-0199"},
        {f.txtFax, "Fax", false, "(612) 555-0198"},
        {f.txtSquareFootage, "SquareFoot", false, "1,950"},
        {f.txtLLWebSite, "WebSite", true, "https://sunbeltretail.example"},
        {f.txtLLContact, "Contact", true, "Maria Delgado-Ruiz"},
        {f.txtLLEmail, "email", true, "maria@sunbeltretail.example"},
        {f.txtLLBusiness, "Phone", true, "(214) 555-0100"},
        {f.txtLLFax, "Fax", true, ""},
    };
    for (const Field& field : fields)
        field.box.SetText(field.value);
    // Both addresses through the dialog.
    f.cmAddress(0).Click.Raise();
    frmAddress& d = frmAddress::Instance();
    d.txtAddress(0).SetText("2300 Maple Grove Pkwy\r\n2nd Floor");
    d.txtAddress(1).SetText("Maple Grove");
    d.txtAddress(3).SetText("55311");
    d.cmdOK.Click.Raise();
    f.cmAddress(1).Click.Raise();
    frmAddress::Instance().cboCountry.SetText("");
    frmAddress::Instance().txtAddress(2).SetText("Texas");
    frmAddress::Instance().cmdOK.Click.Raise();

    chooseStore(storeIdOf(3));
    EXPECT_TRUE(mbox->shown.empty());
    EXPECT_TRUE(msgbox->shown.empty());
    auto column = [&](const std::string& name, bool company) {
        return vb::CStr(Mod_StoreInfo::EmptyIfNull(
            company ? scalar("SELECT " + name + " FROM LandLord WHERE LandLordID = 3")
                    : scalar("SELECT " + name + " FROM Stores WHERE StoreID = ?", {vb::Variant(id)})));
    };
    for (const Field& field : fields)
        EXPECT_EQ(column(field.column, field.company), field.value) << field.column;
    const char* addressColumns[] = {"Street", "City", "State", "ZipCode", "Region"};
    const char* storeAddress[] = {"2300 Maple Grove Pkwy\r\n2nd Floor", "Maple Grove", "MN", "55311", "USA"};
    const char* companyAddress[] = {"2001 Ross Ave\r\nFloor 18", "Dallas", "Texas", "75201", ""};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(column(addressColumns[i], false), storeAddress[i]);
        EXPECT_EQ(vb::UCase(column(addressColumns[i], true)), vb::UCase(companyAddress[i]));
    }
    EXPECT_EQ(column("Company", true), "Sunbelt Retail Properties");

    // And back into the boxes.
    chooseStore(id);
    for (const Field& field : fields)
        EXPECT_EQ(field.box.Text(), field.value) << field.column;
    EXPECT_EQ(f.txtStreet(0).Text(), "2300 Maple Grove Pkwy\r\n2nd Floor\r\nMaple Grove, MN 55311\r\nUSA");
    EXPECT_EQ(f.txtStreet(1).Text(), tv::Stores().g_LandLordAddress.Street() + "\r\nDallas, Texas 75201\r\n");
    EXPECT_EQ(f.txtLLCompany.Text(), "Sunbelt Retail Properties");
}

TEST_F(StoreDetails, WithoutAStoreTheTabsShowTheNoticeOnly)
{
    frmStoreInfo& f = open(Mod_tallyvane::kDatabaseFileName);
    mbox->answers.assign(6, MBoxMod::MBoxAnswer{0, 0});
    f.cmAddress(0).Click.Raise();
    f.cmdSelPM.Click.Raise();
    f.txtLLWebSite.SetText("www.example.com");
    f.txtLLWebSite.DblClick.Raise();
    f.chkUseDefaultIcon.SetValue(1);
    f.txtStoreNumber.SetText("5");
    EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
    EXPECT_FALSE(f.smuiPMList.Visible());
    EXPECT_TRUE(urls->opened.empty());
    EXPECT_EQ(tv::Stores().g_LastStoreNumber, 0);
    ASSERT_EQ(mbox->shown.size(), 5u);
    for (const auto& shownBox : mbox->shown)
        EXPECT_EQ(shownBox.prompt, "Please add a new store before entering data.");
}

TEST_F(StoreDetails, TypingAnAddressWithoutAStoreAsksForOneAsTheOtherBoxesDo)
{
    frmStoreInfo& f = open(Mod_tallyvane::kDatabaseFileName);
    ASSERT_EQ(tv::Stores().g_CurrentStoreID, -1);
    f.txtStreet(0).SetText("1 Main St");
    f.txtStreet(1).SetText("2 Side St");
    EXPECT_EQ(prompts(), std::vector<std::string>(2, "Please add a new store before entering data."));
    EXPECT_FALSE(tv::Stores().g_AddressChanged[0]);
    EXPECT_FALSE(tv::Stores().g_AddressChanged[1]);
}

TEST_F(StoreDetails, AtItsDefaultSizeTheStoreNamesAndTheRentFiguresShowWhole)
{
    frmStoreInfo& f = open();
    QCoreApplication::processEvents();
    // A name runs from beside its 32-pixel number icon to the list's right
    // edge, less the margins the list draws.
    const QWidget* canvas = static_cast<QScrollArea*>(f.smuiPanel(0).Widget())->widget();
    const QFontMetrics list(canvas->font());
    const int room = canvas->width() - (4 + 6 + 32 + 6) - 4;
    ASSERT_GT(f.smuiPanel(0).Items().Count(), 10);
    for (const auto& item : f.smuiPanel(0).Items())
        EXPECT_LE(list.horizontalAdvance(QString::fromStdString(item->Caption())), room) << item->Caption();
    // A rent of seven digits and cents.
    for (int i = 0; i < 4; ++i) {
        const QFontMetrics figure(f.lblRate(i).Widget()->font());
        EXPECT_LE(figure.horizontalAdvance(QStringLiteral("$8,888,888.88")), f.lblRate(i).Widget()->width()) << i;
    }
    // The window fits the screen it opens on.
    EXPECT_LE(f.hWnd()->frameGeometry().width(), 1024);
}

TEST_F(StoreDetails, PicturesOfTheTwoTabs)
{
    frmStoreInfo& f = open();
    chooseStore(storeIdOf(7));
    settle();
    const QImage store = Grab(f.hWnd(), "frmStoreInfo_store");
    f.SSTab1.SetTab(1);
    f.cmdSelPM.Click.Raise();
    settle();
    const QImage withList = Grab(f.hWnd(), "frmStoreInfo_property_manager");
    f.cmdSelPM.Click.Raise();
    settle();
    const QImage withoutList = Grab(f.hWnd(), "frmStoreInfo_property_manager_list_hidden");
    EXPECT_NE(store, withList);
    EXPECT_NE(withList, withoutList);
}

} // namespace
