// Property management companies from the editor: linked by name, created
// after a question, updated, replaced, deleted, and listed.

#include "program/stores/Mod_StoreInfo.h"

#include "platform/forms/MsgBox.h"
#include "program/stores/StoresTestSupport.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

using namespace Mod_StoreInfo;

class Companies : public tv::testing::StoreEditorFixture {
protected:
    void SetUp() override
    {
        StoreEditorFixture::SetUp();
        open();
        store = storeIdOf(3);
    }

    static vb::Variant linkOf(int16_t storeID)
    {
        return scalar("SELECT LandLordID FROM Stores WHERE StoreID = ?", {storeID});
    }
    static vb::Variant company(int32_t id, const char* column = "Company")
    {
        return scalar(std::string("SELECT ") + column + " FROM LandLord WHERE LandLordID = ?", {id});
    }
    void unlink()
    {
        tv::Shell().g_DBConnection->Query("UPDATE Stores SET LandLordID = 0 WHERE StoreID = ?", {store});
        LoadStore(store);
    }

    int16_t store = 0;
};

TEST_F(Companies, AStoreWithoutACompanyIsLinkedByNameOrGetsANewOneAfterTheQuestion)
{
    frmStoreInfo& f = form();
    ASSERT_EQ(linkOf(store), vb::Variant(1));
    EXPECT_EQ(f.txtLLCompany.Text(), "Meridian Property Group");
    unlink();
    EXPECT_EQ(f.txtLLCompany.Text(), "");

    // An empty box: nothing asked, nothing written.
    SaveStoreLandLord(store);
    EXPECT_TRUE(msgbox->shown.empty());
    EXPECT_EQ(linkOf(store), vb::Variant(0));

    // A company that exists, named with an apostrophe and in other letter
    // case: linked, its row untouched.
    f.txtLLCompany.SetText("o'brien realty partners");
    f.txtLLBusiness.SetText("not this");
    SaveStoreLandLord(store);
    EXPECT_TRUE(msgbox->shown.empty());
    EXPECT_EQ(linkOf(store), vb::Variant(2));
    EXPECT_EQ(company(2), vb::Variant("O'Brien Realty Partners"));
    EXPECT_EQ(company(2, "Phone"), vb::Variant("(312) 555-0172"));

    // A new name: No changes nothing, Yes creates it with the form's values.
    unlink();
    f.txtLLCompany.SetText("Harbor Holdings' Trust");
    f.txtLLBusiness.SetText("(206) 555-0177");
    tv::Stores().g_LandLordAddress.SetAddress("1 Pier Rd\r\nSeattle, WA 98104\r\nUSA");
    msgbox->answers.push_back(forms::vbNo);
    SaveStoreLandLord(store);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_EQ(msgbox->shown[0].prompt,
              "Would you like to create a new property management company called Harbor Holdings' Trust");
    EXPECT_EQ(msgbox->shown[0].buttons, forms::vbYesNo + forms::vbQuestion);
    EXPECT_EQ(count("SELECT count(*) FROM LandLord"), 4);
    EXPECT_EQ(linkOf(store), vb::Variant(0));
    msgbox->answers.push_back(forms::vbYes);
    SaveStoreLandLord(store);
    const vb::Variant created = linkOf(store);
    ASSERT_FALSE(created == vb::Variant(0));
    EXPECT_EQ(company(vb::CLng(created)), vb::Variant("Harbor Holdings' Trust"));
    EXPECT_EQ(company(vb::CLng(created), "Phone"), vb::Variant("(206) 555-0177"));
    // The company's address is the company box's, never the store's.
    EXPECT_EQ(company(vb::CLng(created), "Street"), vb::Variant("1 Pier Rd"));
    EXPECT_EQ(company(vb::CLng(created), "City"), vb::Variant("Seattle"));
}

TEST_F(Companies, AStoresOwnCompanyIsUpdatedReplacedOrLeftForAnotherOne)
{
    frmStoreInfo& f = form();
    // The same name with another phone number: the row takes it.
    f.txtLLBusiness.SetText("(206) 555-0100");
    SaveStoreLandLord(store);
    EXPECT_EQ(company(1, "Phone"), vb::Variant("(206) 555-0100"));
    EXPECT_EQ(linkOf(store), vb::Variant(1));

    // A name no row has: Cancel, Replace, Save as New.
    f.txtLLCompany.SetText("Meridian West");
    mbox->answers.push_back({2, 0});
    SaveStoreLandLord(store);
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(mbox->shown[0].prompt, "This property management company was not found.  Create or replace the current "
                                     "property management company?");
    EXPECT_EQ(mbox->shown[0].buttonSet, 15);
    EXPECT_EQ(mbox->shown[0].title, "Company not found");
    EXPECT_EQ(company(1), vb::Variant("Meridian Property Group"));
    mbox->answers.push_back({1, 0});
    SaveStoreLandLord(store);
    EXPECT_EQ(company(1), vb::Variant("Meridian West"));
    EXPECT_EQ(linkOf(store), vb::Variant(1));
    f.txtLLCompany.SetText("Meridian East");
    mbox->answers.push_back({0, 0});
    SaveStoreLandLord(store);
    EXPECT_EQ(company(1), vb::Variant("Meridian West"));
    const int32_t east = vb::CLng(linkOf(store));
    EXPECT_EQ(company(east), vb::Variant("Meridian East"));
    EXPECT_EQ(company(east, "Phone"), vb::Variant("(206) 555-0100"));

    // Another company's name typed over this one's details: the store moves
    // to it, and its row keeps its own details.
    f.txtLLCompany.SetText("Sunbelt Retail Properties");
    SaveStoreLandLord(store);
    EXPECT_EQ(linkOf(store), vb::Variant(3));
    EXPECT_EQ(company(3, "Phone"), vb::Variant("(214) 555-0126"));
    EXPECT_EQ(company(3, "WebSite"), vb::Variant("www.sunbeltretail.example"));
    // Chosen in the list, its own details are shown and may be changed.
    LoadLandLord(3);
    EXPECT_EQ(f.txtLLContact.Text(), "Maria Delgado");
    f.txtLLContact.SetText("Ana Ruiz");
    SaveStoreLandLord(store);
    EXPECT_EQ(company(3, "Contact"), vb::Variant("Ana Ruiz"));
    EXPECT_EQ(company(3, "Phone"), vb::Variant("(214) 555-0126"));
}

TEST_F(Companies, ALinkToACompanyThatIsGoneLoadsAndSavesWithoutError)
{
    frmStoreInfo& f = form();
    tv::Shell().g_DBConnection->Query("UPDATE Stores SET LandLordID = 99 WHERE StoreID = ?", {store});
    LoadStore(store);
    EXPECT_EQ(f.txtStoreName.Text(), "Harbor Point");
    EXPECT_EQ(f.txtLLCompany.Text(), "");
    f.txtLLCompany.SetText("Granite Peak Management");
    EXPECT_NO_THROW(SaveStoreLandLord(store));
    EXPECT_EQ(linkOf(store), vb::Variant(4));
    EXPECT_EQ(company(4, "Contact"), vb::Variant("Thomas Reyes"));
}

TEST_F(Companies, DeletingACompanyUnlinksItsStoresAndTheListFollows)
{
    frmStoreInfo& f = form();
    // The list shows each company whole, without scrolling, up to ten.
    const auto scrolls = [&] {
        QCoreApplication::processEvents();
        return static_cast<QScrollArea*>(f.smuiPMList.Widget())->verticalScrollBar()->maximum() > 0;
    };
    f.smuiPMList.SetVisible(true);
    EXPECT_EQ(f.smuiPMList.Items().Count(), 4);
    EXPECT_EQ(f.smuiPMList.Height(), f.smuiPMList.HeightFor(4));
    EXPECT_GE(f.smuiPMList.Height(), 4 * 250);
    EXPECT_FALSE(scrolls());
    EXPECT_EQ(f.smuiPMList.Items().Item(1).Caption(), "O'Brien Realty Partners");
    const int16_t other = storeIdOf(7);
    tv::Shell().g_DBConnection->Query("UPDATE Stores SET LandLordID = 1 WHERE StoreID = ?", {other});
    const int32_t unlinked = count("SELECT count(*) FROM Stores WHERE LandLordID = 0");

    // "No company" is nothing to delete.
    DeleteLandLord(0);
    EXPECT_EQ(count("SELECT count(*) FROM Stores WHERE LandLordID = 0"), unlinked);

    DeleteLandLord(1);
    EXPECT_TRUE(company(1).IsEmpty());
    EXPECT_EQ(linkOf(store), vb::Variant(0));
    EXPECT_EQ(linkOf(other), vb::Variant(0));
    EXPECT_EQ(f.smuiPMList.Items().Count(), 3);
    EXPECT_EQ(f.smuiPMList.Height(), f.smuiPMList.HeightFor(3));
    EXPECT_FALSE(scrolls());
    // The store shown used it: its fields went too.
    EXPECT_EQ(f.txtLLCompany.Text(), "");

    for (int i = 0; i < 9; ++i)
        tv::Shell().g_DBConnection->Query("INSERT INTO LandLord (Company) VALUES (?)", {"Company " + std::to_string(i)});
    FillLandLordList();
    EXPECT_EQ(f.smuiPMList.Items().Count(), 12);
    EXPECT_EQ(f.smuiPMList.Height(), f.smuiPMList.HeightFor(10));
    tv::Shell().g_DBConnection->Query("DELETE FROM LandLord WHERE LandLordID <> 2");
    DeleteLandLord(2);
    EXPECT_EQ(f.smuiPMList.Items().Count(), 0);
}

} // namespace
