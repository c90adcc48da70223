#pragma once
// Label: a caption that may wrap and size itself to its text.

#include "platform/forms/Control.h"

class QLabel;

namespace forms {

enum : int { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
enum : int { vbTransparent = 0, vbOpaque = 1 };

class Label : public Control {
public:
    Label(Container& parent, std::string name, int index = -1);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    // AutoSize with WordWrap keeps the width and grows the height to the
    // wrapped text; without WordWrap both fit the text.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int style);
    void SetFont(const QFont& font) override;
    void SetWidth(double value) override;

protected:
    bool ConsumesMouse() const override { return true; }

private:
    void fit();
    QLabel* label_;
    int alignment_ = vbLeftJustify;
    bool autoSize_ = false;
    bool wordWrap_ = false;
    int backStyle_ = vbOpaque;
};

} // namespace forms
