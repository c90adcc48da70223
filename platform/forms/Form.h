#pragma once
// Forms: one window with its controls and handlers, and the program-wide
// instance per form that the program reaches by the form's name.
//
// A form derives from FormOf<itself>, declares its controls as members and
// wires their events in its constructor; its own events are virtual:
//
//   class frmTip : public forms::FormOf<frmTip> {
//   public:
//       frmTip() : FormOf("frmTip")
//       {
//           SetCaption("Tip of the Day");
//           chkLoadTipsAtStartup.Click = [this] { chkLoadTipsAtStartup_Click(); };
//       }
//       forms::Label lblTipText{*this, "lblTipText"};
//       forms::CheckBox chkLoadTipsAtStartup{*this, "chkLoadTipsAtStartup"};
//   protected:
//       void Form_Load() override { chkLoadTipsAtStartup.SetValue(1); }   // raises Click
//       void Form_Unload(int& Cancel) override;
//   private:
//       void chkLoadTipsAtStartup_Click();
//   };
//
//   frmTip::Instance().Show();          // created and loaded on first use
//   if (auto* tip = frmTip::IfLoaded()) // without creating it
//       tip->Unload();
//
// Lifecycle: Instance() creates the form, marks it loaded (so that its
// Form_Load may reach Instance() again), adds it to Forms() and runs
// Form_Load. Unload() runs Form_QueryUnload and Form_Unload (either may set
// Cancel), hides the window and takes the form out of Forms(); the next
// Instance() creates a fresh one. The unloaded object stays valid until no
// handler runs any more (see Runtime.h), so a handler that finds its form
// unloaded after a nested loop touches a hidden window, never freed memory.
// When the last form is unloaded, Run() returns.
//
// Sizes: Left, Top, Width and Height are the outer window in twips;
// ScaleWidth and ScaleHeight the inner area in the form's ScaleMode (twips,
// or pixels), which is also the unit of its controls' positions. The window
// system adds its frame only once the window is on show, so a size set
// before then is the inner one; when the frame comes, Width and Height grow
// by it and Form_Resize runs again. A window shown where it would reach past
// the screen's edges is moved onto it (one larger than the screen to its top
// left corner).

#include "platform/forms/Surface.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QEventLoop;
class QMenuBar;

namespace forms {

class Menu;
class FormWindow;
class FormClient;

enum : int { vbModeless = 0, vbModal = 1 };
// Why a form is being unloaded (Form_QueryUnload's UnloadMode).
enum : int { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3 };
enum : int {
    vbBSNone = 0,
    vbFixedSingle = 1,
    vbSizable = 2,
    vbFixedDialog = 3,
    vbFixedToolWindow = 4,
    vbSizableToolWindow = 5,
};
enum : int { vbStartUpManual = 0, vbStartUpOwner = 1, vbStartUpScreen = 2, vbStartUpWindowsDefault = 3 };

class Form : public Surface {
public:
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }

    // Modeless, or modal: then it returns when the form is hidden or
    // unloaded. Showing a visible form brings it to the front, out of the
    // minimized state too; showing a visible modeless form modally raises 400.
    void Show(int modal = vbModeless);
    void Hide();
    // Unload from code; false when Form_QueryUnload or Form_Unload cancelled,
    // or when the form is already on its way out.
    bool Unload();
    bool Loaded() const { return loaded_; }
    // Being deleted: its controls raise no more events.
    bool Dying() const { return dying_; }
    bool Visible() const;
    void SetVisible(bool visible);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);
    void Move(double left, std::optional<double> top = {}, std::optional<double> width = {},
              std::optional<double> height = {});
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QFont Font() const;
    void SetFont(const QFont& font);
    void Refresh();

    // The window kind; set in the constructor, before the first Show.
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    void SetShowInTaskbar(bool show);
    void SetStartUpPosition(int position);

    // Height and Width from the program-settings store (application
    // "Tallyvane", section = the form's name), and back. The stored size is
    // the window without the frame the window system adds, so that a size
    // restored before the window is shown comes back the same after it.
    void RestoreSize(double defaultHeight, double defaultWidth);
    void SaveSize();

    // Shows a menu at the mouse and returns when it is closed.
    void PopupMenu(Menu& menu);

    // The window, for the window helpers (SetTopMost, CloseEffect).
    QWidget* hWnd() const;
    QWidget* ClientWidget() const override;
    Form& ParentForm() override { return *this; }

protected:
    explicit Form(std::string name);

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_QueryUnload(int& Cancel, int UnloadMode)
    {
        (void)Cancel;
        (void)UnloadMode;
    }
    virtual void Form_Unload(int& Cancel) { (void)Cancel; }

private:
    friend class FormWindow;
    friend class FormClient;
    friend QMenuBar* MenuBarOf(Form& form);
    friend void AdoptForm(std::unique_ptr<Form> form);
    friend void ResetForms();
    template <class F>
    friend class FormRef;

    bool unloadWith(int mode);
    void activated();
    void applyWindowKind();
    void showWindow();
    void setInnerSize(QSize size);
    // The window system's frame around the inner area (pixels): none until
    // the window is first framed.
    QSize frameExtra() const;
    // After the window system framed the window, or framed it anew.
    void frameChanged();
    // Moves a shown window that reaches past the screen's edges onto it.
    void keepOnScreen();

    std::string name_;
    std::unique_ptr<FormWindow> window_;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
    bool loaded_ = false;
    bool unloading_ = false;
    bool dying_ = false;
    bool active_ = false;
    bool shownOnce_ = false;
    int borderStyle_ = vbSizable;
    bool showInTaskbar_ = true;
    int startUpPosition_ = vbStartUpWindowsDefault;
    QEventLoop* modalLoop_ = nullptr;
    QSize seenExtra_{0, 0};
};

// A reference to one form object that knows when the object is gone.
template <class F>
class FormRef {
public:
    FormRef() = default;
    explicit FormRef(F* form)
        : form_(form)
        , life_(form ? static_cast<Form*>(form)->life_ : nullptr)
    {
    }
    // nullptr once the form object is deleted.
    F* get() const { return life_.expired() ? nullptr : form_; }
    F* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    F* form_ = nullptr;
    std::weak_ptr<int> life_;
};

// Takes a new form into the runtime: loaded, in Forms(), Form_Load run.
void AdoptForm(std::unique_ptr<Form> form);

template <class F>
class FormOf : public Form {
public:
    // The program-wide instance: created and loaded when it is not loaded.
    static F& Instance()
    {
        if (F* f = slot().get(); f && f->Loaded())
            return *f;
        auto owned = std::make_unique<F>();
        F& form = *owned;
        slot() = FormRef<F>(&form);
        AdoptForm(std::move(owned));
        return form;
    }
    // The program-wide instance while it is loaded; never creates it.
    static F* IfLoaded()
    {
        F* f = slot().get();
        return f && f->Loaded() ? f : nullptr;
    }

protected:
    using Form::Form;

private:
    static FormRef<F>& slot()
    {
        static FormRef<F> s;
        return s;
    }
};

// Another instance of a form (the runtime's New), loaded at once; it is not
// the program-wide one.
template <class F>
FormRef<F> New()
{
    auto owned = std::make_unique<F>();
    FormRef<F> ref(owned.get());
    AdoptForm(std::move(owned));
    return ref;
}

// The loaded forms, in the order they were loaded.
class FormsCollection {
public:
    int Count() const;
    // Raises 9 for an index out of range.
    Form& Item(int index) const;
    Form& operator()(int index) const { return Item(index); }
};
FormsCollection Forms();

// The form's menu bar, created on first use (for its menus).
QMenuBar* MenuBarOf(Form& form);

// For tests: every form unloaded without its handlers and deleted at once.
void ResetForms();

// Where a window opened "centred on its owner" is centred, in pixels: the
// window the user is in (other than `self`), or the screen when none is open.
QRect OwnerArea(const QWidget* self = nullptr);

} // namespace forms
