#pragma once
// TrayIcon: the program's icon in the desktop's notification area. It has no
// window on its form. Any use of the icon (a click, a double click, the
// context request) raises IconEvent with the kind of use.
//
//   Tray1.SetPicture(icon);
//   Tray1.IconEvent = [this](int) { TrayIconEvent(); };
//   Tray1.ShowIcon();

#include "platform/forms/Runtime.h"

#include <QPixmap>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSystemTrayIcon;

namespace forms {
class Container;
class Form;
}

namespace controls {

// The kinds of use IconEvent passes.
enum : int { trayUnknown = 0, trayContext = 1, trayDoubleClick = 2, trayClick = 3, trayMiddleClick = 4 };

class TrayIcon {
public:
    TrayIcon(forms::Container& parent, std::string name);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    const std::string& Name() const { return name_; }
    void SetPicture(const QPixmap& picture);
    std::string ToolTipText() const;
    void SetToolTipText(std::string_view text);

    void ShowIcon();
    void RemoveIcon();
    // Between ShowIcon and RemoveIcon.
    bool IconShown() const { return shown_; }

    // Whether the desktop has a notification area to show the icon in.
    static bool Available();
    // Tests decide the answer; nullopt asks the desktop again.
    static void SetAvailable(std::optional<bool> available);

    // Uses the icon as the user would (tests).
    void Use(int kind = trayContext);

    forms::Event<int> IconEvent;

private:
    forms::Form& form_;
    std::string name_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    bool shown_ = false;
};

} // namespace controls
