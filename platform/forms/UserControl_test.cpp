// User-control support: the lifecycle a host drives, the property bag, key
// preview and ExitFocus.

#include "platform/forms/Forms.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> g_calls;

class ucProbe : public forms::UserControl {
public:
    ucProbe(forms::Container& parent, std::string name) : UserControl(parent, std::move(name), -1)
    {
        SetKeyPreview(true);
        Initialize();
    }
    ~ucProbe() override { Terminate(); }
    forms::TextBox txtInner{*this, "txtInner"};
    long Size = 8;

protected:
    void UserControl_Initialize() override { g_calls.push_back("Initialize"); }
    void UserControl_Terminate() override { g_calls.push_back("Terminate"); }
    void UserControl_InitProperties() override { g_calls.push_back("InitProperties " + Ambient().Font.family().toStdString()); }
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override
    {
        Size = vb::CLng(forms::VariantValue(PropBag.ReadProperty("Size", vb::Variant(8))));
    }
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override
    {
        PropBag.WriteProperty("Size", vb::Variant(Size), vb::Variant(8));
    }
    void UserControl_Resize() override { g_calls.push_back("Resize " + std::to_string(static_cast<int>(ScaleWidth()))); }
    void UserControl_ExitFocus() override { g_calls.push_back("ExitFocus"); }
    void UserControl_KeyPress(int& KeyAscii) override
    {
        if (KeyAscii == '#')
            KeyAscii = 0; // the inner box never sees it
        KeyPress.Raise(KeyAscii);
    }
    void UserControl_MouseDown(int, int, float X, float) override { g_calls.push_back("MouseDown " + std::to_string(static_cast<int>(X))); }
};

class frmProbe : public forms::FormOf<frmProbe> {
public:
    frmProbe() : FormOf("frmProbe") {}
    forms::TextBox txtElsewhere{*this, "txtElsewhere"};
};

TEST(UserControlSupport, LifecycleAsAHostDrivesIt)
{
    g_calls.clear();
    frmProbe& f = frmProbe::Instance();
    QFont ambient(QStringLiteral("DejaVu Serif"));
    f.SetFont(ambient);
    f.Show();
    {
        ucProbe probe(f, "ucProbe1");
        probe.InitNew();
        probe.Move(0, 0, 1530, 330);
        probe.Move(0, 0, 1530, 330); // the same size: no Resize
        probe.Move(150, 0, 1530, 330);
        EXPECT_EQ(g_calls, (std::vector<std::string>{"Initialize", "InitProperties DejaVu Serif", "Resize 1470"}));
        probe.SetBorderStyle(0); // the inner area grows
        EXPECT_EQ(g_calls.back(), "Resize 1530");

        // The surface's own mouse goes to the control, not to a host handler.
        bool hostSaw = false;
        probe.MouseDown = [&](int, int, float, float) { hostSaw = true; };
        QTest::mouseClick(probe.ClientWidget(), Qt::LeftButton, {}, QPoint(4, 4));
        EXPECT_EQ(g_calls.back(), "MouseDown 60") << "in twips of the inner area";
        EXPECT_FALSE(hostSaw);

        // Key preview: the control sees the inner box's keys first.
        std::vector<int> hostKeys;
        probe.KeyPress = [&](int& k) { hostKeys.push_back(k); };
        QTest::keyClicks(probe.txtInner.Widget(), "a#b");
        EXPECT_EQ(probe.txtInner.Text(), "ab");
        EXPECT_EQ(hostKeys, (std::vector<int>{'a', 0, 'b'}));

        // ExitFocus only when the focus leaves the control altogether.
        f.hWnd()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.hWnd()));
        probe.txtInner.SetFocus();
        QCoreApplication::processEvents();
        g_calls.clear();
        f.txtElsewhere.SetFocus();
        QCoreApplication::processEvents();
        EXPECT_EQ(g_calls, std::vector<std::string>{"ExitFocus"});

        forms::PropertyBag bag;
        probe.WriteTo(bag);
        EXPECT_FALSE(bag.Contains("Size")) << "the default is not written";
        probe.Size = 12;
        probe.WriteTo(bag);
        ucProbe copy(f, "ucProbe2");
        copy.ReadFrom(bag);
        EXPECT_EQ(copy.Size, 12);
        probe.PropertyChanged("Size");
        EXPECT_EQ(probe.ChangedProperties().count("Size"), 1u);
        g_calls.clear();
    }
    EXPECT_EQ(g_calls, (std::vector<std::string>{"Terminate", "Terminate"}));
    forms::ResetForms();
}

TEST(UserControlSupport, PropertyBagKindsAndNames)
{
    forms::PropertyBag bag;
    QFont font(QStringLiteral("Tahoma"));
    bag.WriteProperty("Font", font);
    bag.WriteProperty("Enabled", vb::Variant(true), vb::Variant(true));
    bag.WriteProperty("Value", vb::Variant(2024.0), vb::Variant(0.0));
    EXPECT_FALSE(bag.Contains("Enabled"));
    EXPECT_TRUE(bag.Contains("value")) << "names without case";
    EXPECT_EQ(forms::FontValue(bag.ReadProperty("FONT")).family(), "Tahoma");
    EXPECT_EQ(vb::CDbl(forms::VariantValue(bag.ReadProperty("Value", vb::Variant(0)))), 2024);
    EXPECT_TRUE(forms::VariantValue(bag.ReadProperty("Missing")).IsEmpty());
    EXPECT_THROW(forms::FontValue(bag.ReadProperty("Value")), vb::RuntimeError);
    EXPECT_THROW(forms::PictureValue(bag.ReadProperty("Missing")), vb::RuntimeError);
    // Writing the default again removes what was stored.
    bag.WriteProperty("Value", vb::Variant(0.0), vb::Variant(0.0));
    EXPECT_FALSE(bag.Contains("Value"));
}

} // namespace
