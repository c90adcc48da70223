#include "program/services/FlatComboBox.h"

#include "platform/basic/Strings.h"

namespace {

using forms::OLE_COLOR;

// Colours by ColorMode: button background, glyph enabled, glyph disabled.
struct ComboColors {
    OLE_COLOR background, glyph, glyphDisabled;
};

std::optional<ComboColors> colorsFor(long mode)
{
    if (mode == 0)
        return ComboColors{forms::vbWindowBackground, forms::vbWindowText, forms::vbGrayText};
    if (mode == 1)
        return ComboColors{forms::vbButtonFace, forms::vbButtonText, forms::vbButtonShadow};
    return std::nullopt;
}

long clng(double d)
{
    return static_cast<long>(vb::RoundHalfEven(d));
}

} // namespace

FlatComboBox::FlatComboBox(forms::Container& parent, std::string name, int index)
    : UserControl(parent, std::move(name), index)
{
    SetBackColor(forms::vbWindowBackground);
    SetKeyPreview(true);
    SetBorderStyle(1);
    PictureBox::SetAppearance(0);
    // Tahoma where the desktop has it, else a face every install has: a face
    // missing with no second one named sends the font search through every
    // installed font at each start.
    QFont tahoma;
    tahoma.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    tahoma.setPointSizeF(8.25);
    Text1.SetFont(tahoma);
    Text1.SetText("");
    Text1.GotFocus = [this] { SelectAllText(); };
    Text1.MouseMove = [this](int, int, float, float) { forms::Control::SetMousePointer(forms::vbDefault); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    Initialize();
}

FlatComboBox::~FlatComboBox()
{
    Terminate();
}

void FlatComboBox::UserControl_Initialize()
{
    RefreshControl();
    Clear();
}

void FlatComboBox::UserControl_Terminate()
{
    combo1_.reset();
}

void FlatComboBox::UserControl_Resize()
{
    RefreshControl();
}

void FlatComboBox::UserControl_InitProperties()
{
    SetFont(Ambient().Font);
    SetColorMode(0);
    SetMousePointer(0);
    SetEnabled(true);
}

void FlatComboBox::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    vb::ResumeNext step;
    step([&] { SetFont(forms::FontValue(PropBag.ReadProperty("Font"))); });
    step([&] { SetColorMode(vb::CLng(forms::VariantValue(PropBag.ReadProperty("ColorMode", vb::Variant(0))))); });
    step([&] { SetMousePointer(vb::CLng(forms::VariantValue(PropBag.ReadProperty("MousePointer", vb::Variant(0))))); });
    step([&] { SetMouseIcon(forms::PictureValue(PropBag.ReadProperty("MouseIcon"))); });
    step([&] { SetEnabled(vb::CBool(forms::VariantValue(PropBag.ReadProperty("Enabled", vb::Variant(true))))); });
}

void FlatComboBox::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    vb::ResumeNext step;
    step([&] { PropBag.WriteProperty("Font", Text1.Font()); });
    step([&] { PropBag.WriteProperty("ColorMode", vb::Variant(colorMode_), vb::Variant(0)); });
    step([&] { PropBag.WriteProperty("MousePointer", vb::Variant(mousePointer_)); });
    step([&] { PropBag.WriteProperty("MouseIcon", UserControl::MouseIcon()); });
    step([&] { PropBag.WriteProperty("Enabled", vb::Variant(Enabled()), vb::Variant(true)); });
}

// --- Public members ---

QFont FlatComboBox::Font() const
{
    return Text1.Font();
}

void FlatComboBox::SetFont(const QFont& font)
{
    Text1.SetFont(font);
    RefreshControl();
    PropertyChanged("Font");
}

void FlatComboBox::SetColorMode(long mode)
{
    colorMode_ = mode;
    RefreshControl();
    PropertyChanged("ColorMode");
}

long FlatComboBox::ItemData(long Index) const
{
    if (Index >= 0 && Index < combo1_->ListCount())
        return combo1_->ItemData(Index);
    return 0;
}

void FlatComboBox::SetItemData(long Index, long value)
{
    if (Index >= 0 && Index < combo1_->ListCount())
        combo1_->SetItemData(Index, value);
}

long FlatComboBox::ListIndex() const
{
    return combo1_->ListIndex();
}

void FlatComboBox::SetListIndex(long value)
{
    combo1_->SetListIndex(value);
    rememberedIndex_ = combo1_->ListIndex();
}

void FlatComboBox::SetMouseIcon(const QPixmap& icon)
{
    UserControl::SetMouseIcon(icon);
    PropertyChanged("MouseIcon");
}

void FlatComboBox::SetMousePointer(long pointer)
{
    mousePointer_ = pointer;
    forms::Control::SetMousePointer(static_cast<int>(pointer));
    PropertyChanged("MousePointer");
}

void FlatComboBox::SetAppearance(long appearance)
{
    appearance_ = appearance;
    PictureBox::SetAppearance(static_cast<int>(appearance));
    RefreshControl();
    PropertyChanged("Appearance");
}

std::string FlatComboBox::Text() const
{
    return Text1.Text();
}

// Shows the item equal to text (case counts), or keeps the current one;
// never raises Click.
void FlatComboBox::SetText(std::string_view text)
{
    rememberedIndex_ = combo1_->ListIndex();
    for (long i = 0; i < combo1_->ListCount(); ++i) {
        if (combo1_->List(i) == text) {
            rememberedIndex_ = i;
            break;
        }
    }
    suppressClick_ = true;
    combo1_->SetListIndex(rememberedIndex_);
    if (suppressClick_)
        suppressClick_ = false;
}

void FlatComboBox::SetEnabled(bool enabled)
{
    forms::Control::SetEnabled(enabled);
    PropertyChanged("Enabled");
    RefreshControl();
}

std::string FlatComboBox::Count() const
{
    return std::to_string(combo1_->ListCount());
}

std::string FlatComboBox::ListCount() const
{
    return Count();
}

std::string FlatComboBox::List(long Index) const
{
    return combo1_->List(Index);
}

void FlatComboBox::AddItem(std::string_view Item, std::optional<long> Index)
{
    combo1_->AddItem(Item, Index);
}

bool FlatComboBox::InList(const vb::Variant& Item) const
{
    return combo1_->FindStringExact(vb::CStr(Item)) >= 0;
}

void FlatComboBox::Clear()
{
    combo1_->Clear();
    Text1.SetText("");
}

// --- Drawing and layout ---

void FlatComboBox::RefreshControl()
{
    if (!combo1_) {
        combo1_ = std::make_unique<FlatComboList>(Widget());
        combo1_->Click = [this] { SelectionChanged(); };
        combo1_->DropDown = [this] { rememberedIndex_ = combo1_->ListIndex(); };
        combo1_->Picked = [this](long index) { PickFromList(index); };
    }
    combo1_->SetFont(Text1.Font());
    SetExtentHeight(combo1_->Height() - 30);
    SetBorderStyle(1);
    combo1_->SetLocked(false);

    const double sw = ScaleWidth();
    const double sh = ScaleHeight();
    Text1.SetAppearance(0);
    Text1.SetBorderStyle(0);
    Text1.Move(30, 20, std::max(0.0, sw - (sw > 240 ? 240 : sw)), std::max(0.0, sh - 10));
    Text1.SetVisible(true);
    Text1.SetLocked(false);
    Text1.ZOrder(0);

    const std::optional<ComboColors> colors = colorsFor(colorMode_);
    if (!colors)
        return;
    DrawButton(colors->background, Enabled() ? colors->glyph : colors->glyphDisabled);
}

void FlatComboBox::DrawButton(OLE_COLOR background, OLE_COLOR glyph)
{
    const double sw = ScaleWidth();
    const double sh = ScaleHeight();
    Cls();
    SetForeColor(background);
    Box(sw - 210, 0, sw, sh, std::nullopt, true);
    SetForeColor(forms::vbWindowText);
    const long edge = clng(sw - 210);
    Line(edge, 0, edge, sh);
    SetForeColor(glyph);
    // The drop glyph: a small triangle pointing down, centred in the button.
    const int cx = static_cast<int>(edge / 15) + 7;
    const int top = static_cast<int>((clng(sh) / 2) / 15) - 2;
    std::vector<QPoint> points;
    for (int row = 0; row < 4; ++row) {
        points.emplace_back(cx - 3 + row, top + row);
        points.emplace_back(cx + 4 - row, top + row);
    }
    PolyPolyline(points, {2, 2, 2, 2});
    SetCurrentX(edge);
    SetCurrentY(clng(sh) / 2 - 110);
}

// --- The list ---

void FlatComboBox::SelectionChanged()
{
    Text1.SetText(combo1_->Text());
    Text1.SetSelStart(0);
    Text1.Refresh();
    if (suppressClick_)
        suppressClick_ = false;
    else
        Click.Raise();
}

void FlatComboBox::ShowDropDown()
{
    combo1_->ShowDropDown(true);
}

void FlatComboBox::SelectAllText()
{
    Text1.SetSelStart(0);
    Text1.SetSelLength(vb::Len(Text1.Text()));
}

// While the user types into the open list, the list does not follow the mouse
// resting over it; the lock ends when the mouse moves.
void FlatComboBox::LockMouse(bool lock)
{
    if (lock) {
        Timer1.SetInterval(1);
        Timer1.SetEnabled(true);
        win::GetCursorPos(recordedCursor_);
        combo1_->SetLocked(true);
    } else {
        // Unlocked, nothing is left to watch: the poll stops.
        Timer1.SetEnabled(false);
        combo1_->SetLocked(false);
    }
}

void FlatComboBox::Timer1_Timer()
{
    win::POINTAPI now;
    win::GetCursorPos(now);
    // A closed list has nothing to lock (a key released with the list
    // closed, or the list closed by its window): the poll ends as well.
    if (!(now == recordedCursor_) || !combo1_->Dropped())
        LockMouse(false);
}

void FlatComboBox::CancelDropDown()
{
    if (combo1_->Dropped()) {
        combo1_->ShowDropDown(false);
        combo1_->SetListIndex(rememberedIndex_);
        SelectionChanged();
        SelectAllText();
    }
    LockMouse(false);
}

void FlatComboBox::CommitDropDown()
{
    if (combo1_->Dropped()) {
        if (!InList(vb::Variant(Text1.Text()))) {
            CancelDropDown();
        } else {
            if (combo1_->ListIndex() == rememberedIndex_) {
                suppressClick_ = true;
            } else {
                suppressClick_ = false;
                rememberedIndex_ = combo1_->ListIndex();
            }
            combo1_->ShowDropDown(false);
            combo1_->SetListIndex(rememberedIndex_);
            SelectionChanged();
            SelectAllText();
        }
    }
    LockMouse(false);
}

// A click on an item of the open list commits that item, whatever the text
// box holds: Click when it differs from the item of when the list opened.
void FlatComboBox::PickFromList(long index)
{
    if (!combo1_->Dropped())
        return;
    combo1_->SetCurSel(index);
    suppressClick_ = index == rememberedIndex_;
    rememberedIndex_ = index;
    combo1_->ShowDropDown(false);
    SelectionChanged();
    SelectAllText();
    LockMouse(false);
}

void FlatComboBox::TypeAhead()
{
    long caret = Text1.SelStart();
    if (!combo1_->Dropped())
        combo1_->ShowDropDown(true);
    const long start = combo1_->ListIndex() >= 0 ? combo1_->ListIndex() - 1 : -1;
    const long found = combo1_->FindString(start, vb::Left(Text1.Text(), Text1.SelStart()));
    if (found == -1) {
        // No item begins so: the character is taken out again.
        caret = Text1.SelStart() > 0 ? Text1.SelStart() - 1 : 0;
        const std::string text = Text1.Text();
        const long length = vb::Len(text);
        Text1.SetText(caret < length ? vb::Left(text, caret) + vb::Right(text, length - caret - 1)
                                     : vb::Left(text, caret));
    } else {
        combo1_->SetListIndex(found);
        Text1.SetText(combo1_->Text());
    }
    Text1.SetSelStart(caret);
    Text1.SetSelLength(vb::Len(Text1.Text()) - caret);
}

// --- Keys and mouse ---

void FlatComboBox::UserControl_KeyDown(int& KeyCode, int& Shift)
{
    KeyDown.Raise(KeyCode, Shift);
}

void FlatComboBox::UserControl_KeyPress(int& KeyAscii)
{
    KeyPress.Raise(KeyAscii);
}

void FlatComboBox::UserControl_KeyUp(int& KeyCode, int& Shift)
{
    KeyUp.Raise(KeyCode, Shift);
    LockMouse(true);
    suppressClick_ = true;
    // Ctrl and Alt keys are not typing; Shift alone is (capitals).
    if (Shift & (forms::vbCtrlMask | forms::vbAltMask))
        return;
    switch (KeyCode) {
    case forms::vbKeyDown:
        combo1_->SetCurSel(combo1_->ListIndex());
        if (!combo1_->Dropped()) {
            ShowDropDown();
        } else if (combo1_->ListCount() > 0 && combo1_->ListIndex() < combo1_->ListCount() - 1) {
            combo1_->SetListIndex(combo1_->ListIndex() + 1);
        }
        SelectAllText();
        break;
    case forms::vbKeyUp:
        combo1_->SetCurSel(combo1_->ListIndex());
        if (combo1_->Dropped() && combo1_->ListCount() > 0)
            combo1_->SetListIndex(combo1_->ListIndex() > 0 ? combo1_->ListIndex() - 1 : 0);
        SelectAllText();
        break;
    case forms::vbKeyReturn:
        if (!combo1_->Dropped())
            ShowDropDown();
        else
            CommitDropDown();
        break;
    case forms::vbKeyEscape:
        CancelDropDown();
        break;
    case forms::vbKeyBack:
    case forms::vbKeyShift:
    case forms::vbKeyControl:
    case forms::vbKeyMenu:
    case forms::vbKeyPageUp:
    case forms::vbKeyPageDown:
    case forms::vbKeyHome:
        break;
    default:
        TypeAhead();
        break;
    }
}

void FlatComboBox::UserControl_ExitFocus()
{
    CommitDropDown();
}

void FlatComboBox::UserControl_MouseDown(int, int, float X, float)
{
    if (X > ScaleWidth() - 240)
        ShowDropDown();
}

void FlatComboBox::UserControl_MouseMove(int, int, float, float)
{
    forms::Control::SetMousePointer(static_cast<int>(mousePointer_));
}
