#pragma once
// The window of quorvel-design: one button of the registered library on a
// form, hosted as a form designer hosts a control. In design mode the
// button sits inside a selection frame whose grips resize it; a double
// click on it, or Button > Properties, opens its property frame through the
// container's Properties command. File > Open and File > Save read and
// write the button's template in the extended form (its look, its media
// and its place on the form), as the property page's own template commands
// do for a button in template-edit mode; File > Open also takes a plain
// template. Closing with changes not yet saved asks to save them. Button >
// Run puts the container in user mode, where the button takes the mouse
// itself (hover, press, sounds), and back.

#include "platform/com/ControlSite.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QTemporaryDir;

namespace design {

class SelectionFrame;

class DesignWindow : public QMainWindow {
    Q_OBJECT
public:
    // The button's size when the tool starts, in pixels.
    static constexpr int kButtonWidth = 120;
    static constexpr int kButtonHeight = 40;
    // The caption of the tool's own boxes.
    static constexpr const char* kTitle = "Quorvel Design";

    DesignWindow();
    ~DesignWindow() override;

    // Makes the button of the class in the middle of the form, in design
    // mode and in template-edit mode; an error when the library cannot make
    // one.
    HRESULT CreateButton(REFCLSID clsid);
    // Loads a template file into the button (either form); false with the
    // reason in *error when it cannot be read. A template read becomes the
    // window's file.
    bool LoadTemplate(const std::filesystem::path& file, std::string* error);
    // Writes the button's extended template; false with the reason in
    // *error when it cannot be written. The file becomes the window's file.
    bool SaveTemplate(const std::filesystem::path& file, std::string* error);
    // The template the command line names, read once the window manager has
    // placed the window, so that a box about it opens over the window.
    void OpenAtStart(const std::filesystem::path& file);

    // The container's Properties command on the button.
    void ShowProperties();
    // File > Open and File > Save: a file dialog, then the template; a
    // failure is told in a box. SaveTemplate is true once the file is
    // written. Open first asks to save changes not yet saved.
    void OpenTemplate();
    bool SaveTemplate();
    // User mode on (the button runs) or off (design mode).
    void SetRunning(bool running);
    bool Running() const;

    // The template last read or written (empty before either).
    const std::filesystem::path& File() const { return file_; }
    // Whether File > Save would write something other than what the last
    // template read or written holds (or, before either, than the button
    // the tool started with). When that cannot be told, there are.
    bool HasUnsavedChanges();

    QWidget* Form() const { return form_; }
    com::ControlSite* Site() const { return site_.Get(); }
    SelectionFrame* Selection() const { return selection_; }
    QAction* RunAction() const { return run_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void placeSelection();
    // What SaveTemplateEx writes for the button now, or nothing when it
    // cannot be had.
    std::optional<QByteArray> currentTemplate();
    bool saveTemplateEx(const std::filesystem::path& file);
    // Takes what the button holds now as saved.
    void markSaved();
    void updateTitle(bool modified);
    // Before the button's look is replaced or the window goes: asks to save
    // the changes not yet saved; false when they are to stay (Cancel, or a
    // save that did not happen).
    bool setAsideChanges(const char* before);
    // Runs then once the window is on the screen where the window manager
    // put it.
    void whenPlaced(std::function<void()> then);
    void showBox(const std::string& text, unsigned type);

    QWidget* form_ = nullptr;
    com::ComPtr<com::ControlSite> site_;
    SelectionFrame* selection_ = nullptr;
    QAction* properties_ = nullptr;
    QAction* run_ = nullptr;
    std::filesystem::path file_;
    // The template as last read or written; none when it could not be had.
    std::optional<QByteArray> saved_;
    std::unique_ptr<QTemporaryDir> scratch_;
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
    // The user let go of a grip.
    void resizeEnded();
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
