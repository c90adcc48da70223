#include "platform/forms/PictureBox.h"

#include <QFrame>
#include <QPainter>
#include <functional>

namespace forms {

class PictureClient : public QWidget {
public:
    PictureClient(PictureBox& box, QWidget* parent)
        : QWidget(parent)
        , box_(box)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        box_.PaintSurface(p);
    }
    void resizeEvent(QResizeEvent*) override { box_.ResizeSurface(); }

private:
    PictureBox& box_;
};

// The border around the inner area; the inner area follows its size at once.
class PictureFrame : public QFrame {
public:
    using QFrame::QFrame;
    std::function<void()> resized;

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        QFrame::resizeEvent(e);
        if (resized)
            resized();
    }
};

PictureBox::PictureBox(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
{
    auto* frame = new PictureFrame(parent.ClientWidget());
    frame->resized = [this] { GeometryApplied(); };
    frame_ = frame;
    client_ = new PictureClient(*this, frame_);
    Attach(frame_);
    WatchInput(client_, false);
    BindSurface(client_);
    applyBorder();
}

QWidget* PictureBox::ClientWidget() const
{
    return client_;
}

void PictureBox::SetBorderStyle(int style)
{
    borderStyle_ = style;
    applyBorder();
}

void PictureBox::SetAppearance(int appearance)
{
    appearance_ = appearance;
    applyBorder();
}

void PictureBox::applyBorder()
{
    if (borderStyle_ == 0) {
        frame_->setFrameStyle(QFrame::NoFrame);
    } else if (appearance_ == 0) {
        frame_->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame_->setLineWidth(1);
    } else {
        frame_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame_->setLineWidth(2);
    }
    GeometryApplied();
}

void PictureBox::GeometryApplied()
{
    client_->setGeometry(frame_->contentsRect());
}

} // namespace forms
