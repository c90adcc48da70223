#pragma once
// The window of quorvel-design: one button of the registered library on a
// form, hosted as a form designer hosts a control. In design mode the
// button sits inside a selection frame whose grips resize it; a double
// click on it, or Button > Properties, opens its property frame through the
// container's Properties command. File > Open and File > Save are the
// property page's own Load Template and Save Template. Button > Run puts
// the container in user mode, where the button takes the mouse itself
// (hover, press, sounds), and back.

#include "platform/com/ControlSite.h"

#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <string>

class QAction;

namespace design {

class SelectionFrame;

class DesignWindow : public QMainWindow {
    Q_OBJECT
public:
    // The button's size when the tool starts, in pixels.
    static constexpr int kButtonWidth = 120;
    static constexpr int kButtonHeight = 40;
    // The page's buttons that load and save a template.
    static constexpr int kSaveTemplateButton = 364;
    static constexpr int kLoadTemplateButton = 365;

    DesignWindow();
    ~DesignWindow() override;

    // Makes the button of the class in the middle of the form, in design
    // mode; an error when the library cannot make one.
    HRESULT CreateButton(REFCLSID clsid);
    // Loads a template file into the button (either form); false with the
    // reason in *error when it cannot be read.
    bool LoadTemplate(const std::filesystem::path& file, std::string* error);

    // The container's Properties command on the button.
    void ShowProperties();
    // The page's Load Template and Save Template, with their own dialogs.
    void OpenTemplate();
    void SaveTemplate();
    // User mode on (the button runs) or off (design mode).
    void SetRunning(bool running);
    bool Running() const;

    QWidget* Form() const { return form_; }
    com::ControlSite* Site() const { return site_.Get(); }
    SelectionFrame* Selection() const { return selection_; }
    QAction* RunAction() const { return run_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void pressPageButton(int id);
    void placeSelection();

    QWidget* form_ = nullptr;
    com::ComPtr<com::ControlSite> site_;
    CLSID clsid_{};
    SelectionFrame* selection_ = nullptr;
    QAction* properties_ = nullptr;
    QAction* run_ = nullptr;
};

// The frame around the button in design mode: a dotted outline with eight
// grips. A grip dragged resizes the button (its opposite side stays); a
// double click inside asks for the properties. It takes every mouse event
// over the button, as a designer's selection does.
class SelectionFrame : public QWidget {
    Q_OBJECT
public:
    // The grips' size and the margin the frame keeps around the button.
    static constexpr int kGrip = 7;
    // The smallest button the grips make.
    static constexpr int kMinimum = 16;

    explicit SelectionFrame(QWidget* form);

    // Frames the button's rectangle (form coordinates).
    void SetButtonRect(const QRect& rect);
    QRect ButtonRect() const { return button_; }
    // Where grip i (0..7: left top, top, right top, right, right bottom,
    // bottom, left bottom, left) sits, in form coordinates.
    QRect GripRect(int grip) const;

signals:
    // The user resized the button to this rectangle.
    void resized(const QRect& rect);
    void propertiesRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int gripAt(const QPoint& formPoint) const;
    QRect dragged(const QPoint& formPoint) const;

    QRect button_;
    int grip_ = -1;
    QPoint pressedAt_;
    QRect pressedRect_;
};

} // namespace design
