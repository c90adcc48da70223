// The store logic behind the editor: the save's refusals and its row, every
// field through the database and back, the load over awkward rows, the form
// clear, and the number icons.

#include "program/stores/Mod_StoreInfo.h"

#include "platform/basic/App.h"
#include "program/stores/Mod_FileIO_Stores.h"
#include "program/stores/StorePictures.h"
#include "program/stores/StoresTestSupport.h"
#include "program/stores/cCreateIcons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace Mod_StoreInfo;

class StoreInfo : public tv::testing::StoreEditorFixture {
protected:
    // Every row of Stores and CalInfo as text: what must not change.
    static std::string snapshot()
    {
        std::string all;
        for (const char* sql : {"SELECT group_concat(StoreID || StoreName || StoreNumber || ifnull(Manager, '') || "
                                "ifnull(InitialTerm, ''), '|') FROM Stores",
                                "SELECT group_concat(ID || ':' || StoreID || ':' || Type || ':' || Date, '|') FROM CalInfo",
                                "SELECT count(*) FROM Stores"})
            all += vb::CStr(scalar(sql)) + "\n";
        return all;
    }
};

TEST_F(StoreInfo, TheSaveRefusesBadNumbersAndTermsBeforeWritingAnything)
{
    frmStoreInfo& f = open();
    const int16_t id = tv::Stores().g_CurrentStoreID;
    const std::string before = snapshot();
    struct Case {
        const char* number;
        const char* term;
        const char* prompt;
        int icon;
    };
    const Case cases[] = {
        {"   ", "5", "Please enter a store number before saving.", 2},
        {"12a", "5", "12a is not a valid store number.  Store numbers are whole numbers from 0 to 32767.", 2},
        {"1 OR 1=1", "5", "1 OR 1=1 is not a valid store number.  Store numbers are whole numbers from 0 to 32767.",
         2},
        {"40000", "5", "40000 is not a valid store number.  Store numbers are whole numbers from 0 to 32767.", 2},
        {"-3", "5", "-3 is not a valid store number.  Store numbers are whole numbers from 0 to 32767.", 2},
        {"3'", "5", "3' is not a valid store number.  Store numbers are whole numbers from 0 to 32767.", 2},
        {"7", "5", "7 is a duplicate store number.  Stores may not have duplicate store numbers", 8},
        {"3", "abc", "The initial term must be a numeric value!", 4},
        {"3", "", "The initial term must be a numeric value!", 4},
        {"3", "2.5", "The initial term must be a whole number of years from 0 to 999.", 4},
        {"3", "-1", "The initial term must be a whole number of years from 0 to 999.", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.number) + " / " + c.term);
        f.txtStoreNumber.SetText(c.number);
        f.txtInitTerm.SetText(c.term);
        f.txtManager.SetText("Changed");
        // Only the save's message (the number box tells of 40000 itself).
        mbox->shown.clear();
        int16_t written = -5;
        EXPECT_EQ(SaveStore(id, written), kRefused);
        EXPECT_EQ(written, -5);
        ASSERT_EQ(mbox->shown.size(), 1u);
        EXPECT_EQ(mbox->shown[0].prompt, c.prompt);
        EXPECT_EQ(mbox->shown[0].iconIndex, c.icon);
        EXPECT_EQ(snapshot(), before);
    }
    // A new store may not take a number in use either.
    f.txtStoreNumber.SetText("3");
    f.txtInitTerm.SetText("5");
    int16_t written = 0;
    EXPECT_EQ(SaveStore(std::nullopt, written), kRefused);
    // A store id without a row is refused silently: no store is added.
    mbox->shown.clear();
    f.txtStoreNumber.SetText("999");
    EXPECT_EQ(SaveStore(int16_t{30000}, written), kRefused);
    EXPECT_TRUE(mbox->shown.empty());
    EXPECT_EQ(snapshot(), before);
    // Its own number again is no duplicate.
    f.txtStoreNumber.SetText(" 3 ");
    EXPECT_EQ(SaveStore(id, written), kSaved);
    EXPECT_EQ(written, id);
    EXPECT_EQ(scalar("SELECT Manager FROM Stores WHERE StoreID = ?", {id}), vb::Variant("Changed"));
    EXPECT_EQ(scalar("SELECT StoreNumber FROM Stores WHERE StoreID = ?", {id}), vb::Variant(3));
}

TEST_F(StoreInfo, EveryFieldGoesThroughTheDatabaseAndBack)
{
    frmStoreInfo& f = open(Mod_tallyvane::kDatabaseFileName);
    tv::StoresState& s = tv::Stores();
    s.g_AddStoreMode = true;
    ClearStoreForm(kClearAll);
    f.txtStoreName.SetText("O'Malley's \"Corner\" Café");
    f.txtStoreNumber.SetText("042");
    s.g_StoreAddress.SetAddress("12 Quay St\r\nUnit 3\r\nPortland, OR 97201\r\nUSA");
    f.txtManager.SetText("Siobhán O'Neil");
    f.txtAsstManager.SetText("1 OR 1=1");
    f.txt3rdKey.SetText("'; DROP TABLE Stores; --");
    f.txtBusPhone.SetText("(503) 555-0110");
    f.txtFax.SetText("");
    f.chkUseDefaultIcon.SetValue(0);
    f.Image1.Tag = kNoIcon;
    f.DTLeaseDate.SetValue(vb::Variant(vb::DateSerial(2000, 1, 15)));
    f.DTCommDate.SetValue(vb::Variant(vb::DateSerial(2000, 2, 29)));
    f.txtInitTerm.SetText("1");
    f.rtbRenewal.SetTextRTF("{\\rtf1\\ansi {\\b Two} options\\par of 5 years\\par}");
    f.DTRenewal.SetValue(vb::Variant(vb::DateSerial(2025, 6, 1)));
    f.txtTermNotice.SetText("90 days");
    f.txtSquareFootage.SetText("1,200 sq ft");
    f.cboSalesReportReq.SetText("Quarterly");
    f.DTDueDate.SetValue(vb::Variant(vb::DateSerial(2025, 4, 15)));
    f.chkAnnualReportReq.SetValue(1);
    f.DTAnnualReportDueDate.SetValue(vb::Variant(vb::DateSerial(2026, 1, 31)));
    f.rtbInsurance.SetText("Liability €2M");
    f.DTInsurance.SetValue(vb::Variant::Null());
    f.rtbOtherNotes.SetText("");
    f.DTOtherDate.SetValue(vb::Variant(vb::DateSerial(2025, 12, 24)));
    s.g_ReminderMask = 5;

    int16_t id = -1;
    ASSERT_EQ(SaveStore(std::nullopt, id), kSaved);
    ASSERT_GT(id, 0);
    s.g_AddStoreMode = false;
    auto column = [&](const char* name) {
        return scalar(std::string("SELECT ") + name + " FROM Stores WHERE StoreID = ?", {id});
    };
    EXPECT_EQ(column("StoreNumber"), vb::Variant(42));
    EXPECT_EQ(column("Street"), vb::Variant("12 Quay St\r\nUnit 3"));
    EXPECT_EQ(column("City"), vb::Variant("Portland"));
    EXPECT_EQ(column("ZipCode"), vb::Variant("97201"));
    EXPECT_EQ(column("Region"), vb::Variant("USA"));
    EXPECT_EQ(column("Icon"), vb::Variant(""));
    // Calendar-year addition from a leap day.
    EXPECT_EQ(column("LeaseEndDate"), vb::Variant(vb::DateSerial(2001, 2, 28)));
    EXPECT_EQ(column("InitialTerm"), vb::Variant(1));
    EXPECT_EQ(column("RenewalForReport"), vb::Variant("Two options\r\nof 5 years"));
    EXPECT_EQ(vb::CStr(column("Renewal")).rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(column("InsuranceForReport"), vb::Variant("Liability €2M"));
    EXPECT_TRUE(column("InsuranceDate").IsNull());
    EXPECT_EQ(column("SalesReportAnnualDueDate"), vb::Variant(vb::DateSerial(2026, 1, 31)));
    EXPECT_EQ(column("ReminderBitMask"), vb::Variant(5));
    EXPECT_EQ(column("LandLordID"), vb::Variant(0));

    // Cleared, then loaded back: every control as it was set.
    ClearStoreForm(kClearAll);
    LoadStore(id);
    EXPECT_EQ(f.txtStoreName.Text(), "O'Malley's \"Corner\" Café");
    EXPECT_EQ(f.txtStoreNumber.Text(), "42");
    EXPECT_EQ(f.txtStreet(0).Text(), s.g_StoreAddress.Address());
    EXPECT_EQ(s.g_StoreAddress.City(), "Portland");
    EXPECT_EQ(f.txtManager.Text(), "Siobhán O'Neil");
    EXPECT_EQ(f.txtAsstManager.Text(), "1 OR 1=1");
    EXPECT_EQ(f.txt3rdKey.Text(), "'; DROP TABLE Stores; --");
    EXPECT_EQ(f.txtBusPhone.Text(), "(503) 555-0110");
    EXPECT_EQ(f.txtFax.Text(), "");
    EXPECT_EQ(f.chkUseDefaultIcon.Value(), 1);
    EXPECT_EQ(f.DTLeaseDate.Value(), vb::Variant(vb::DateSerial(2000, 1, 15)));
    EXPECT_EQ(f.DTCommDate.Value(), vb::Variant(vb::DateSerial(2000, 2, 29)));
    EXPECT_EQ(s.g_CommenceYear, 2000);
    EXPECT_EQ(f.txtInitTerm.Text(), "1");
    EXPECT_EQ(s.g_InitialTermYears, 1);
    EXPECT_EQ(f.rtbRenewal.Text(), "Two options\r\nof 5 years");
    EXPECT_NE(f.rtbRenewal.TextRTF().find("\\b"), std::string::npos);
    EXPECT_EQ(f.DTRenewal.Value(), vb::Variant(vb::DateSerial(2025, 6, 1)));
    EXPECT_EQ(f.txtTermNotice.Text(), "90 days");
    EXPECT_EQ(f.txtSquareFootage.Text(), "1,200 sq ft");
    EXPECT_EQ(f.cboSalesReportReq.Text(), "Quarterly");
    EXPECT_EQ(f.DTDueDate.Value(), vb::Variant(vb::DateSerial(2025, 4, 15)));
    EXPECT_EQ(f.chkAnnualReportReq.Value(), 1);
    EXPECT_TRUE(f.DTAnnualReportDueDate.Visible());
    EXPECT_EQ(f.DTAnnualReportDueDate.Value(), vb::Variant(vb::DateSerial(2026, 1, 31)));
    EXPECT_EQ(f.rtbInsurance.Text(), "Liability €2M");
    EXPECT_TRUE(f.DTInsurance.Value().IsNull());
    EXPECT_EQ(f.rtbOtherNotes.Text(), "");
    EXPECT_EQ(f.DTOtherDate.Value(), vb::Variant(vb::DateSerial(2025, 12, 24)));
    EXPECT_EQ(s.g_ReminderMask, 5);
    EXPECT_FALSE(s.g_StoreFormLoading);
    EXPECT_FALSE(s.g_StoreBusy);

    // Unticked, the annual date is saved empty and loads unticked and hidden.
    f.chkAnnualReportReq.SetValue(0);
    f.chkUseDefaultIcon.SetValue(0);
    f.Image1.Tag = "/nowhere/own.ico";
    ASSERT_EQ(SaveStore(id, id), kSaved);
    EXPECT_TRUE(column("SalesReportAnnualDueDate").IsNull());
    EXPECT_EQ(column("Icon"), vb::Variant("/nowhere/own.ico"));
    LoadStore(id);
    EXPECT_EQ(f.chkAnnualReportReq.Value(), 0);
    EXPECT_FALSE(f.DTAnnualReportDueDate.Visible());
    EXPECT_FALSE(f.lblNextAnnualDueDate.Visible());
    EXPECT_TRUE(f.DTAnnualReportDueDate.Value().IsNull());
    // A chosen file that is gone shows the no-icon picture; the path is kept.
    EXPECT_EQ(f.chkUseDefaultIcon.Value(), 0);
    EXPECT_EQ(f.Image1.Tag, "/nowhere/own.ico");
    EXPECT_EQ(f.Image1.Picture().toImage(), StorePictures::NoIconPicture().toImage());
    // With the number box ticked the Tag is not stored.
    f.chkUseDefaultIcon.SetValue(1);
    ASSERT_EQ(SaveStore(id, id), kSaved);
    EXPECT_EQ(column("Icon"), vb::Variant(""));
}

TEST_F(StoreInfo, TheLoadShowsEmptyFieldsForWhatItCannotShowAndWritesNoReminders)
{
    frmStoreInfo& f = open();
    const int16_t a = storeIdOf(3);
    const int16_t b = storeIdOf(7);
    tv::Shell().g_DBConnection->Query(
        "UPDATE Stores SET Manager = NULL, ReminderBitMask = NULL, RenewalDate = NULL, LeaseDate = 'next spring', "
        "SalesReporting = 'Weekly', StoreNumber = 1234, Icon = NULL, CommenceDate = NULL WHERE StoreID = ?",
        {b});
    const std::string calInfo = vb::CStr(scalar("SELECT group_concat(ID || StoreID || Type || Date) FROM CalInfo"));
    LoadStore(a);
    ASSERT_EQ(f.txtManager.Text(), "Alice Moreno");
    ASSERT_FALSE(f.DTRenewal.Value().IsNull());
    const int16_t thisYear = static_cast<int16_t>(vb::Year(vb::Today()));
    ASSERT_NE(tv::Stores().g_CommenceYear, thisYear);
    LoadStore(b);
    tv::Stores().g_CurrentStoreID = b;
    EXPECT_EQ(f.txtManager.Text(), "");
    EXPECT_EQ(tv::Stores().g_ReminderMask, 7);
    EXPECT_TRUE(f.DTRenewal.Value().IsNull());
    EXPECT_TRUE(f.DTLeaseDate.Value().IsNull());
    // Its worksheets do not start in the year of the store shown before.
    EXPECT_EQ(tv::Stores().g_CommenceYear, thisYear);
    EXPECT_EQ(f.cboSalesReportReq.ListIndex(), -1);
    // No number icon for 1234: the no-icon picture, and no file written.
    EXPECT_EQ(f.Image1.Picture().toImage(), StorePictures::NoIconPicture().toImage());
    EXPECT_FALSE(fs::exists(StoreIconFile(1234)));
    EXPECT_FALSE(tv::Stores().g_StoreFormLoading);
    EXPECT_FALSE(tv::Stores().g_StoreBusy);

    // Clearing for a new store and loading again touch no reminder row.
    ClearStoreForm(kClearAll);
    LoadStore(a);
    EXPECT_EQ(vb::CStr(scalar("SELECT group_concat(ID || StoreID || Type || Date) FROM CalInfo")), calInfo);

    // The list still holds every store, 1234 with the no-icon picture.
    Mod_FileIO::FillStoreListPanel("frmStoreInfo");
    EXPECT_EQ(f.smuiPanel(0).Items().Count(), 12);
    EXPECT_EQ(f.smuiPanel(0).Items().Item(f.smuiPanel(0).Items().Count() - 1).Key(), std::to_string(b));
    EXPECT_EQ(f.smuiPanel(0).ListImages().Picture("STOREIMAGE" + std::to_string(b)).toImage(),
              StorePictures::NoIconPicture().toImage());
}

TEST_F(StoreInfo, TheClearEmptiesOnlyTheSectionsAsked)
{
    frmStoreInfo& f = open();
    ClearStoreForm(kClearLandLord | kClearLease);
    EXPECT_EQ(f.txtStoreName.Text(), "Harbor Point");
    EXPECT_EQ(f.rtbRenewal.Text(), "One 5-year option at 95% of fair market rent.");
    EXPECT_EQ(f.txtLLCompany.Text(), "");
    EXPECT_EQ(f.txtStreet(1).Text(), "");
    EXPECT_EQ(tv::Stores().g_LandLordAddress.City(), "");
    EXPECT_EQ(f.txtInitTerm.Text(), "0");
    EXPECT_EQ(f.cboSalesReportReq.Text(), "None");
    EXPECT_EQ(f.chkAnnualReportReq.Value(), 0);
    EXPECT_EQ(f.DTCommDate.Value(), vb::Variant(vb::Today()));
    EXPECT_EQ(f.lblRate(1).Caption(), "$0.00");
    EXPECT_FALSE(f.UpDown1.Visible());

    ClearStoreForm(kClearStore | kClearNotes);
    EXPECT_EQ(f.txtStoreName.Text(), "");
    EXPECT_EQ(f.txtSquareFootage.Text(), "0");
    EXPECT_EQ(f.chkUseDefaultIcon.Value(), 1);
    EXPECT_EQ(f.Image1.Tag, "");
    EXPECT_EQ(f.txtStreet(0).Text(), "");
    EXPECT_EQ(tv::Stores().g_StoreAddress.Street(), "");
    EXPECT_EQ(f.rtbRenewal.Text(), "");
    EXPECT_EQ(f.DTRenewal.Value(), vb::Variant(vb::Today()));
    EXPECT_FALSE(tv::Stores().g_StoreBusy);
    // The address boxes were set by code: not flagged as typed in.
    EXPECT_FALSE(tv::Stores().g_AddressChanged[0]);
}

TEST_F(StoreInfo, TheStoreListWritesAMissingNumberIconOnceAndSkipsStoresWithTheirOwn)
{
    frmStoreInfo& f = open();
    const fs::path icon7 = StoreIconFile(7);
    ASSERT_TRUE(IsNumberIconFile(icon7));
    const auto written = fs::last_write_time(icon7);
    fs::remove(StoreIconFile(12));
    // A store with its own picture: no number icon is made for it.
    const fs::path own = vb::AppPaths::ProgramFolder() / "own.png";
    QPixmap picture(20, 20);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(own.string())));
    fs::remove(StoreIconFile(21));
    tv::Shell().g_DBConnection->Query("UPDATE Stores SET Icon = ? WHERE StoreNumber = 21", {own.string()});

    Mod_FileIO::FillStoreListPanel("frmStoreInfo");
    EXPECT_EQ(fs::last_write_time(icon7), written);
    EXPECT_TRUE(IsNumberIconFile(StoreIconFile(12)));
    EXPECT_FALSE(fs::exists(StoreIconFile(21)));
    const QImage shown = f.smuiPanel(0).ListImages().Picture("STOREIMAGE" + std::to_string(storeIdOf(21))).toImage();
    EXPECT_EQ(shown.size(), QSize(20, 20));
    EXPECT_EQ(f.smuiPanel(0).Items().Item(0).SelectedBackColor(), 0x8080FFu);
    EXPECT_TRUE(f.smuiPanel(0).Items().Item(0).Selected());

    // With the table empty the list keeps what it shows and no store is current.
    tv::Shell().g_DBConnection->Query("DELETE FROM Stores");
    Mod_FileIO::FillStoreListPanel("frmStoreInfo");
    EXPECT_EQ(tv::Stores().g_CurrentStoreID, -1);
    EXPECT_EQ(f.smuiPanel(0).Items().Count(), 12);
}

TEST_F(StoreInfo, GenerateStoreIconShowsTheNumberIconAndFallsBackToNoIcon)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    const int16_t id = s.g_CurrentStoreID;
    const std::string key = "STOREIMAGE" + std::to_string(id);
    controls::SmartImages& images = f.smuiPanel(0).ListImages();

    // The number icon: shown, in the list, and its file gone again.
    std::string path;
    GenerateStoreIcon(420, id, path);
    EXPECT_EQ(path, StoreIconFile(420).string());
    EXPECT_FALSE(fs::exists(StoreIconFile(420)));
    EXPECT_EQ(f.Image1.Picture().size(), QSize(32, 32));
    EXPECT_EQ(images.Picture(key).size(), QSize(32, 32));

    // The number typed before: its generated icon goes, a user's file of
    // that name stays.
    s.g_LastStoreNumber = 7;
    const fs::path userFile = StoreIconFile(8);
    { std::ofstream(userFile) << "not an icon"; }
    path.clear();
    GenerateStoreIcon(8, id, path);
    EXPECT_FALSE(fs::exists(StoreIconFile(7)));
    s.g_LastStoreNumber = 8;
    path.clear();
    GenerateStoreIcon(9, id, path);
    EXPECT_TRUE(fs::exists(userFile));
    EXPECT_TRUE(mbox->shown.empty());

    // 1000 and more: the message and the no-icon picture.
    path.clear();
    GenerateStoreIcon(1000, id, path);
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(mbox->shown[0].title, "Cannot generate icon");
    EXPECT_EQ(mbox->shown[0].prompt,
              "The maximum value icon which can be generated by Tallyvane is 999.  Setting icon to NO ICON SELECTED");
    EXPECT_EQ(f.Image1.Tag, kNoIcon);
    EXPECT_EQ(images.Picture(key).toImage(), StorePictures::NoIconPicture().toImage());

    // A chosen file: its path in the Tag and its picture in the list.
    const fs::path own = vb::AppPaths::ProgramFolder() / "mine.png";
    QPixmap picture(24, 24);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(own.string())));
    path = own.string();
    GenerateStoreIcon(3, id, path);
    EXPECT_EQ(f.Image1.Tag, own.string());
    EXPECT_EQ(images.Picture(key).size(), QSize(24, 24));
    // A chosen file that is missing.
    path = (vb::AppPaths::ProgramFolder() / "gone.ico").string();
    GenerateStoreIcon(3, id, path);
    EXPECT_EQ(mbox->shown.back().title, "File cannot be located");
    EXPECT_EQ(mbox->shown.back().prompt, "Icon for store 3: \"" + path + "\" cannot be located");
    EXPECT_EQ(f.Image1.Tag, kNoIcon);

    // While a store is added its picture has a key of its own.
    s.g_AddStoreMode = true;
    path.clear();
    GenerateStoreIcon(5, id, path);
    EXPECT_TRUE(images.Exists("STOREIMAGE32768"));
}

} // namespace
