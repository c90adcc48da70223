// The rich text box: Text and TextRTF describe one content, values set by
// code raise Change only when the content differs, typing raises Change, and
// Validate may keep the focus.

#include "platform/controls/RichTextBox.h"

#include "platform/controls/Rtf.h"
#include "platform/forms/Forms.h"
#include "platform/testing/Screenshots.h"

#include <QCoreApplication>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class frmNotesHost : public forms::FormOf<frmNotesHost> {
public:
    frmNotesHost() : FormOf("frmNotesHost")
    {
        SetCaption("Notes");
        Move(0, 0, 5400, 2700);
        rtbRenewal.Move(120, 120, 5000, 1600);
        txtOther.Move(120, 1850, 3000, 330);
    }
    controls::RichTextBox rtbRenewal{*this, "rtbRenewal"};
    forms::TextBox txtOther{*this, "txtOther"};
};

class RichTextBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &frmNotesHost::Instance();
        form->Show();
        box().Change = [this] { events.push_back("change"); };
    }
    void TearDown() override { forms::ResetForms(); }
    controls::RichTextBox& box() { return form->rtbRenewal; }
    QTextEdit* edit() { return static_cast<QTextEdit*>(box().Widget()); }
    frmNotesHost* form = nullptr;
    std::vector<std::string> events;
};

TEST_F(RichTextBoxTest, TextAndTextRtfAreOneContent)
{
    box().SetText("123 Main Street\r\nSuite {4}\\B\r\nSpringfield, IL 62701");
    box().SetText("123 Main Street\r\nSuite {4}\\B\r\nSpringfield, IL 62701");
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(box().Text(), "123 Main Street\r\nSuite {4}\\B\r\nSpringfield, IL 62701");
    EXPECT_EQ(controls::ReadRtf(box().TextRTF()).PlainText(), box().Text());

    // Styled RTF: the text without markup, the styles kept.
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0 Renew by \\b May 1\\b0 ; "
                            "\\i call\\i0  \\ul first\\ulnone\\par\\fs32 Big caf\\'e9\\par}";
    box().SetTextRTF(rtf);
    EXPECT_EQ(box().Text(), "Renew by May 1; call first\r\nBig café");
    const controls::RtfDocument read = controls::ReadRtf(box().TextRTF());
    EXPECT_EQ(read, controls::ReadRtf(rtf));
    EXPECT_EQ(events.size(), 2u);
    // The box's own RTF, or the same content written otherwise, is no change.
    box().SetTextRTF(box().TextRTF());
    box().SetTextRTF(rtf);
    EXPECT_EQ(events.size(), 2u);

    // Text that is not RTF is taken as text.
    box().SetTextRTF("just words\r\nand a second line");
    EXPECT_EQ(box().Text(), "just words\r\nand a second line");
    box().SetText("");
    EXPECT_EQ(box().Text(), "");
    EXPECT_EQ(controls::ReadRtf(box().TextRTF()).runs.size(), 0u);
    EXPECT_EQ(events.size(), 4u);
    // A trailing empty line is kept.
    box().SetText("line\r\n");
    EXPECT_EQ(box().Text(), "line\r\n");
    EXPECT_EQ(controls::ReadRtf(box().TextRTF()).PlainText(), "line\r\n");
}

TEST_F(RichTextBoxTest, TypingRaisesChange)
{
    box().SetText("Call ");
    events.clear();
    edit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(edit(), "Bob");
    EXPECT_EQ(box().Text(), "Call Bob");
    EXPECT_EQ(events.size(), 3u);
    QTest::keyClick(edit(), Qt::Key_Return);
    QTest::keyClicks(edit(), "x");
    EXPECT_EQ(box().Text(), "Call Bob\r\nx");

    // A KeyPress handler may put another character in place of the typed one.
    box().KeyPress = [](int& KeyAscii) {
        if (KeyAscii == 'y')
            KeyAscii = 'Z';
    };
    QTest::keyClicks(edit(), "y");
    EXPECT_EQ(box().Text(), "Call Bob\r\nxZ");
}

TEST_F(RichTextBoxTest, ValidateMayKeepTheFocus)
{
    form->hWnd()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->hWnd()));
    int validations = 0;
    bool refuse = true;
    box().Validate = [&](bool& Cancel) {
        ++validations;
        Cancel = refuse;
    };
    box().SetFocus();
    ASSERT_TRUE(edit()->hasFocus());
    form->txtOther.SetFocus();
    EXPECT_EQ(validations, 1);
    EXPECT_TRUE(edit()->hasFocus());
    refuse = false;
    form->txtOther.SetFocus();
    EXPECT_EQ(validations, 2);
    EXPECT_TRUE(form->txtOther.Widget()->hasFocus());
}

TEST_F(RichTextBoxTest, PictureWithStyles)
{
    box().SetTextRTF("{\\rtf1\\ansi\\pard Renewal: \\b two options of five years\\b0  each.\\par "
                     "Notice \\i six months\\i0  before \\ul expiry\\ulnone .\\par "
                     "\\fs32 Large text\\fs0\\par\\plain Plain again, caf\\'e9 \\u8364? 12\\par}");
    EXPECT_EQ(box().Text(), "Renewal: two options of five years each.\r\nNotice six months before expiry.\r\nLarge "
                            "text\r\nPlain again, café € 12");
    tv::testing::SaveScreenshot(tv::testing::CheckedPicture(form->hWnd(), "rich_text_box"), "rich_text_box");
}

} // namespace
