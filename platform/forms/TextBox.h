#pragma once
// TextBox: single-line or multi-line text. Setting Text from code raises
// Change (when the text differs), as typing does. Multi-line text uses CR LF
// between lines, and SelStart counts both characters.

#include "platform/forms/Control.h"

class QLineEdit;
class QPlainTextEdit;

namespace forms {

class TextBox : public Control {
public:
    TextBox(Container& parent, std::string name, int index = -1, bool multiLine = false);

    std::string Text() const;
    void SetText(std::string_view text);
    long SelStart() const;
    void SetSelStart(long start);
    long SelLength() const;
    void SetSelLength(long length);
    std::string SelText() const;
    void SetSelText(std::string_view text);
    bool Locked() const;
    void SetLocked(bool locked);
    long MaxLength() const { return maxLength_; }
    void SetMaxLength(long length);
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    // 0 flat, 1 sunken; BorderStyle 0 none, 1 single line.
    int Appearance() const { return appearance_; }
    void SetAppearance(int appearance);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    bool MultiLine() const { return multi_ != nullptr; }

    Event<> Change;

protected:
    void TypeCharacter(int keyAscii) override;

private:
    void userChanged();
    void applyFrame();

    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    bool codeChange_ = false;
    long maxLength_ = 0;
    int alignment_ = 0;
    int appearance_ = 1;
    int borderStyle_ = 1;
};

} // namespace forms
