#pragma once
// What the editor's tests share: buttons bound to a page the ways a
// container binds them, the seams the editor asks questions through, the
// property frame with the button's page, and steps acting on modal windows.

#include "buttonlib/control/CLumvexApp.h"
#include "buttonlib/control/ControlIds.h"
#include "buttonlib/control/LumvexTestSupport.h"
#include "buttonlib/editor/CLumvexPropPage.h"

#include "platform/com/ClassFactory.h"
#include "platform/com/Loader.h"
#include "platform/com/PropertyFrame.h"
#include "platform/com/UiServices.h"
#include "platform/com/Variant.h"
#include "platform/forms/CommonDialog.h"
#include "platform/win/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace editortest {

using com::ComPtr;

// An IDispatch that is not one of our controls. It answers GetControlPtr
// with whatever it is given: a control of ours (a container's wrapper),
// something else, or a number that is no pointer at all.
class OtherDispatch final : public com::ComObject<OtherDispatch, IDispatch> {
public:
    explicit OtherDispatch(com::ComVariant answer, HRESULT result = S_OK) : answer_(answer), result_(result) {}

    std::span<const com::InterfaceEntry> InterfaceTable() const
    {
        static constexpr com::InterfaceEntry table[] = {com::Implements<OtherDispatch, IDispatch>()};
        return table;
    }
    HRESULT GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override
    {
        ++calls;
        wellFormed = wellFormed && id == dispidGetControlPtr && iid == IID_NULL && lcid == 0x400 &&
                     flags == DISPATCH_METHOD && params && params->cArgs == 0 && result && !excepInfo && !argErr;
        if (result)
            VariantCopy(result, &answer_);
        return result_;
    }

    int calls = 0;
    bool wellFormed = true;

private:
    com::ComVariant answer_;
    HRESULT result_;
};

// The variant holds a reference of its own.
inline com::ComVariant UnknownVariant(IUnknown* p)
{
    p->AddRef();
    return com::ComVariant::Unknown(p);
}

// Three buttons in a container at design time: the first two bound
// directly, the third only through a wrapper that answers GetControlPtr,
// and between them an automation object that is no button.
struct BoundButtons {
    BoundButtons()
    {
        box.SetUserMode(false);
        for (int i = 0; i < 3; ++i) {
            controls[i] = lumvextest::NewButton(&buttons[i]);
            box.Add(controls[i].Get())->InitNew();
        }
        wrapper = ComPtr<OtherDispatch>::Attach(new OtherDispatch(UnknownVariant(controls[2].Get())));
        foreign = ComPtr<OtherDispatch>::Attach(new OtherDispatch(com::ComVariant::I4(0x1234)));
    }

    // In the order the page reaches them: buttons 0, 2 and 1.
    std::vector<ComPtr<IUnknown>> Objects() const
    {
        return {controls[0], ComPtr<IUnknown>(foreign.Get()), ComPtr<IUnknown>(wrapper.Get()), controls[1]};
    }

    com::TestContainer box;
    CLumvexCtrl* buttons[3] = {};
    ComPtr<IUnknown> controls[3];
    ComPtr<OtherDispatch> wrapper;
    ComPtr<OtherDispatch> foreign;
};

// A button of the registered library, made by ProgID in a shown container
// and active, as a program's form holds it.
struct LoadedButton {
    LoadedButton()
    {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(kLumvexProgId, &clsid), S_OK);
        site = box.Create(clsid);
        if (!site) {
            ADD_FAILURE() << "no button from the library";
            return;
        }
        EXPECT_EQ(site->InitNew(), S_OK);
        EXPECT_EQ(site->SetRect(RECT{10, 20, 106, 68}), S_OK);
        box.Host().show();
        box.Host().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box.Host()));
        EXPECT_EQ(site->Activate(), S_OK);
        dispatch = site->ControlAs<IDispatch>();
    }

    com::TestContainer box;
    com::ControlSite* site = nullptr;
    ComPtr<IDispatch> dispatch;
};

// The seams the editor asks through, recorded, and fixed dialog units; all
// put back afterwards. The editor's show table is put back too.
struct EditorSeams {
    EditorSeams()
    {
        SetDialogBaseUnits(DialogBaseUnits{6, 13});
        win::SetMessageBoxPort(boxes);
        forms::SetDialogPort(dialogs);
        LumvexApp().SetHelpPort(help);
    }
    ~EditorSeams()
    {
        CLumvexCtrl::g_editButtonShow = savedShow;
        CLumvexCtrl::g_helpLinks = savedLinks;
        CLumvexPropPage::SetDialogRunner(nullptr);
        LumvexApp().SetHelpPort(nullptr);
        forms::SetDialogPort(nullptr);
        win::SetMessageBoxPort(nullptr);
        SetDialogBaseUnits(std::nullopt);
    }
    EditorSeams(const EditorSeams&) = delete;
    EditorSeams& operator=(const EditorSeams&) = delete;

    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
    std::shared_ptr<RecordingHelpPort> help = std::make_shared<RecordingHelpPort>();
    decltype(CLumvexCtrl::g_editButtonShow) savedShow = CLumvexCtrl::g_editButtonShow;
    decltype(CLumvexCtrl::g_helpLinks) savedLinks = CLumvexCtrl::g_helpLinks;
};

// The page shown in a frame, found the way a user finds things: by name.
inline CLumvexPropPage* PageOf(QWidget& frame)
{
    auto* window = frame.findChild<QWidget*>(QStringLiteral("dialog%1").arg(CLumvexPropPage::IDD));
    return window ? dynamic_cast<CLumvexPropPage*>(win::GetWindowHandler(window)) : nullptr;
}
inline QWidget* PageButton(QWidget& frame, int id)
{
    auto* window = frame.findChild<QWidget*>(QStringLiteral("dialog%1").arg(CLumvexPropPage::IDD));
    return window ? window->findChild<QWidget*>(QStringLiteral("id%1").arg(id)) : nullptr;
}

// Property frames opened for real. Each request is kept; the frame is opened
// and handed to onFrame, then closed with its Close button; with modal set
// it runs modally instead (steps queued beforehand act on it).
class FrameUi : public com::RecordingUiServices {
public:
    HRESULT ShowPropertyFrame(const com::PropertyFrameRequest& request) override
    {
        frames.push_back(request);
        if (modal)
            return com::RunPropertyFrame(request);
        com::PropertyFrame frame(request);
        const HRESULT hr = frame.Open();
        if (FAILED(hr))
            return hr;
        frame.show();
        if (!QTest::qWaitForWindowExposed(&frame))
            ADD_FAILURE() << "the property frame was never shown";
        if (onFrame)
            onFrame(frame);
        if (frame.isVisible())
            frame.Button(com::kFrameOk)->click();
        return S_OK;
    }

    bool modal = false;
    std::function<void(com::PropertyFrame&)> onFrame;
};

// Steps run one after the other from the event loop, each once its window
// is the active modal one (by object name), each waiting at most its bound.
// A step that times out fails the test and closes every modal window, so a
// test never hangs.
class ModalSteps {
public:
    void Add(std::string window, std::function<void(QWidget&)> act, int boundMs = 20000)
    {
        steps_.push_back({std::move(window), std::move(act), boundMs});
    }

    void Start() { next(); }
    bool Done() const { return steps_.empty(); }

private:
    struct Step {
        std::string window;
        std::function<void(QWidget&)> act;
        int boundMs;
    };

    void next()
    {
        if (steps_.empty())
            return;
        clock_.start();
        poll();
    }

    void poll()
    {
        if (steps_.empty())
            return;
        QWidget* modal = QApplication::activeModalWidget();
        Step& step = steps_.front();
        if (modal && modal->objectName().toStdString() == step.window && modal->isVisible()) {
            Step current = std::move(step);
            steps_.pop_front();
            current.act(*modal);
            QTimer::singleShot(0, &context_, [this] { next(); });
            return;
        }
        if (clock_.elapsed() > step.boundMs) {
            ADD_FAILURE() << "no modal window \"" << step.window << "\" within " << step.boundMs << " ms";
            steps_.clear();
            for (int i = 0; i < 8; ++i)
                if (QWidget* w = QApplication::activeModalWidget())
                    w->close();
            return;
        }
        QTimer::singleShot(10, &context_, [this] { poll(); });
    }

    std::deque<Step> steps_;
    QElapsedTimer clock_;
    // Timers still pending when the steps go are dropped with it.
    QObject context_;
};

} // namespace editortest
