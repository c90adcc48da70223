#pragma once
// The property frame: a dialog with a tab per page and the buttons OK (1),
// Cancel (2), Apply (12321) and Help (9), each named "id<id>" as dialog
// items are. Pages are made by class id, from this module's own classes
// first (so a page shares the state of the controls it edits) and through
// the loader otherwise. The active page is hidden before the frame closes,
// and every page is deactivated once it has.

#include "platform/com/UiServices.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QTabWidget;

namespace com {

// The ids of the frame's buttons.
inline constexpr int kFrameOk = 1;
inline constexpr int kFrameCancel = 2;
inline constexpr int kFrameApply = 0x3021;
inline constexpr int kFrameHelp = 9;

// How a module finds a class factory of its own.
using ClassObjectSource = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
// The module's framework sets it when its first factory is made.
void SetModuleClassSource(ClassObjectSource source);

// A page of the class: this module's factories first, then the registered
// classes through the loader.
HRESULT CreatePropertyPage(REFCLSID clsid, IPropertyPage** page);

class PropertyFrame : public QDialog {
    Q_OBJECT
public:
    explicit PropertyFrame(PropertyFrameRequest request);
    // Lets go of the pages that are still held, hidden first.
    ~PropertyFrame() override;

    // Makes the pages, gives them their site and the objects, and builds
    // them; the first one is shown. An error when not one page could be made.
    HRESULT Open();
    // Closes with the code: the active page is hidden, then every page is
    // deactivated and released.
    void done(int result) override;

    QPushButton* Button(int id) const;
    std::size_t PageCount() const { return pages_.size(); }
    QWidget* PageArea(std::size_t index) const;

private:
    struct Page {
        ComPtr<IPropertyPage> page;
        QWidget* area = nullptr;
        bool shown = false;
    };
    class Site;

    void showPage(int index);
    void help();
    void release();

    PropertyFrameRequest request_;
    ComPtr<IPropertyPageSite> site_;
    std::vector<Page> pages_;
    QTabWidget* tabs_ = nullptr;
};

// Opens the frame modally; S_OK once closed, or the error of Open.
HRESULT RunPropertyFrame(const PropertyFrameRequest& request);

} // namespace com
