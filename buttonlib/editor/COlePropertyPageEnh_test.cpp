// Reaching the controls bound to a page: three controls in a container, one
// behind a wrapper that answers only GetControlPtr, and objects that are no
// controls of ours; walks, a walk begun inside a writer's loop, and a page
// with nothing bound.

#include "buttonlib/editor/COlePropertyPageEnh.h"

#include "buttonlib/editor/CFontDialogEnh.h"
#include "buttonlib/editor/CLumvexPropPage.h"
#include "buttonlib/editor/EditorTestSupport.h"

#include "platform/com/ClassFactory.h"
#include "platform/com/Variant.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using com::ComPtr;

using editortest::OtherDispatch;
using editortest::UnknownVariant;

ULONG references(IUnknown* p)
{
    p->AddRef();
    return p->Release();
}

class PageEnhTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            controls[i] = lumvextest::NewButton(&buttons[i]);
            box.Add(controls[i].Get())->InitNew();
        }
        wrapper = ComPtr<OtherDispatch>::Attach(new OtherDispatch(UnknownVariant(controls[2].Get())));
        stranger = ComPtr<IUnknown>::Attach(new com::ClassFactory(nullptr));
        foreignObject = ComPtr<OtherDispatch>::Attach(new OtherDispatch(UnknownVariant(stranger.Get())));
        com::ComVariant number;
        number.vt = VT_I4;
        number.lVal = 0x1234;
        foreignNumber = ComPtr<OtherDispatch>::Attach(new OtherDispatch(number));
        foreignFailing = ComPtr<OtherDispatch>::Attach(new OtherDispatch(com::ComVariant(), DISP_E_MEMBERNOTFOUND));
        page = ComPtr<COlePropertyPageEnh>::Attach(new COlePropertyPageEnh(0, 0));
    }

    // Strangers around and between the controls: 7 objects, 3 controls.
    void bindAll()
    {
        IUnknown* objects[] = {foreignNumber.Get(), controls[0].Get(), foreignObject.Get(), wrapper.Get(),
                               foreignFailing.Get(), controls[1].Get(), nullptr};
        ASSERT_EQ(page->SetObjects(7, objects), S_OK);
    }

    std::vector<CLumvexCtrl*> walk()
    {
        std::vector<CLumvexCtrl*> seen;
        ULONG count = 0;
        for (CLumvexCtrl* c = page->GetFirstControl(&count); c; c = page->GetNextControl())
            seen.push_back(c);
        return seen;
    }

    com::TestContainer box;
    CLumvexCtrl* buttons[3] = {};
    ComPtr<IUnknown> controls[3];
    ComPtr<OtherDispatch> wrapper;
    ComPtr<IUnknown> stranger;
    ComPtr<OtherDispatch> foreignObject;
    ComPtr<OtherDispatch> foreignNumber;
    ComPtr<OtherDispatch> foreignFailing;
    ComPtr<COlePropertyPageEnh> page;
};

TEST_F(PageEnhTest, ReachesEveryControlAndPassesOverTheRest)
{
    bindAll();
    const ULONG wrapped = references(controls[2].Get());
    const ULONG strangerRefs = references(stranger.Get());

    // The null entry is not an automation object: six are bound.
    ULONG count = 0;
    EXPECT_EQ(page->GetFirstControl(&count), buttons[0]);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(page->GetNextControl(), buttons[2]);
    EXPECT_EQ(page->GetNextControl(), buttons[1]);
    EXPECT_EQ(page->GetNextControl(), nullptr);
    EXPECT_EQ(page->GetNextControl(), nullptr);
    EXPECT_EQ(page->GetControlObject(), buttons[0]);

    // The wrapper was asked the control's way and no reference stayed
    // behind; the foreign answers were looked at and let go, not used.
    EXPECT_GT(wrapper->calls, 0);
    EXPECT_TRUE(wrapper->wellFormed);
    EXPECT_TRUE(foreignNumber->wellFormed && foreignObject->wellFormed && foreignFailing->wellFormed);
    EXPECT_EQ(references(controls[2].Get()), wrapped);
    EXPECT_EQ(references(stranger.Get()), strangerRefs);

    // With only strangers bound, nothing is a control.
    IUnknown* strangers[] = {foreignNumber.Get(), foreignObject.Get()};
    ASSERT_EQ(page->SetObjects(2, strangers), S_OK);
    EXPECT_EQ(page->GetControlObject(), nullptr);
    EXPECT_TRUE(walk().empty());
}

TEST_F(PageEnhTest, AWalkInsideAWritersLoopMovesNothingOfTheWriters)
{
    bindAll();
    std::vector<CLumvexCtrl*> written;
    int nested = 0;
    page->ForEachControl([&](CLumvexCtrl& c) {
        written.push_back(&c);
        // What a message box's loop can run meanwhile: another walk, which
        // moves the page's own cursor to its end.
        nested += int(walk().size());
    });
    EXPECT_EQ(written, (std::vector<CLumvexCtrl*>{buttons[0], buttons[2], buttons[1]}));
    EXPECT_EQ(nested, 9);

    // The objects handed over anew in the middle of the loop: the writer
    // still reaches the controls it started with, each once.
    written.clear();
    page->ForEachControl([&](CLumvexCtrl& c) {
        written.push_back(&c);
        page->SetObjects(0, nullptr);
    });
    EXPECT_EQ(written, (std::vector<CLumvexCtrl*>{buttons[0], buttons[2], buttons[1]}));
}

TEST_F(PageEnhTest, NothingBoundReadsNothing)
{
    ASSERT_EQ(page->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(page->GetControlObject(), nullptr);
    // Before any walk began as well as after one.
    EXPECT_EQ(page->GetNextControl(), nullptr);
    ULONG count = 9;
    EXPECT_EQ(page->GetFirstControl(&count), nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(page->GetNextControl(), nullptr);
    int calls = 0;
    page->ForEachControl([&](CLumvexCtrl&) { ++calls; });
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(COlePropertyPageEnh::ResolveControl(nullptr), nullptr);
}

// The editor's classes are known by name at run time, and the base names
// the class of its own factory.
TEST(EditorClassesTest, RunTimeClassesAndTheBasesClassId)
{
    auto base = ComPtr<COlePropertyPageEnh>::Attach(new COlePropertyPageEnh(0, 0));
    auto page = ComPtr<CLumvexPropPage>::Attach(new CLumvexPropPage);
    CFontDialogEnh font;
    EXPECT_STREQ(base->GetRuntimeClass()->m_lpszClassName, "COlePropertyPageEnh");
    EXPECT_STREQ(page->GetRuntimeClass()->m_lpszClassName, "CLumvexPropPage");
    EXPECT_STREQ(font.GetRuntimeClass()->m_lpszClassName, "CFontDialogEnh");
    EXPECT_TRUE(page->IsKindOf(RUNTIME_CLASS(COlePropertyPageEnh)));
    EXPECT_TRUE(base->IsKindOf(RUNTIME_CLASS(COlePropertyPage)));
    EXPECT_FALSE(base->IsKindOf(RUNTIME_CLASS(CLumvexPropPage)));
    EXPECT_TRUE(font.IsKindOf(RUNTIME_CLASS(CFontDialog)));
    for (const char* name : {"COlePropertyPageEnh", "CLumvexPropPage", "CFontDialogEnh"})
        EXPECT_NE(CRuntimeClass::FromName(name), nullptr) << name;

    CLSID clsid{};
    EXPECT_EQ(base->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_COlePropertyPageEnh);
    EXPECT_EQ(base->GetClassID(nullptr), E_POINTER);
}

} // namespace
