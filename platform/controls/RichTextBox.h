#pragma once
// RichTextBox: multi-line text with bold, italic, underline and font sizes.
// Text is the plain text (lines separated by CR LF); TextRTF the same content
// as RTF (see Rtf.h), which is what the program stores. Setting either from
// code raises Change when the content differs, as typing does. Validate
// comes when the focus leaves the box for another control of the window; a
// handler that sets Cancel keeps the focus in the box.

#include "platform/forms/Control.h"

#include <string>
#include <string_view>

class QTextEdit;

namespace controls {

struct RtfDocument;

class RichTextBox : public forms::Control {
public:
    RichTextBox(forms::Container& parent, std::string name, int index = -1);
    ~RichTextBox() override;

    std::string Text() const;
    void SetText(std::string_view text);
    std::string TextRTF() const;
    void SetTextRTF(std::string_view rtf);

    forms::Event<> Change;
    forms::Event<bool&> Validate; // Cancel

protected:
    void TypeCharacter(int keyAscii) override;

private:
    class FocusWatch;
    RtfDocument content() const;
    void load(const RtfDocument& document);
    void userChanged();
    void focusLeft();

    QTextEdit* edit_;
    bool codeChange_ = false;
};

} // namespace controls
