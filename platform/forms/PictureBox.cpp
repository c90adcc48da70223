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

    // The border in the fixed system colours, the same when disabled: a flat
    // line, or the sunken edge (shadow and dark shadow above and left, light
    // and highlight below and right).
    void paintEvent(QPaintEvent* e) override
    {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        if (frameStyle() == (QFrame::Box | QFrame::Plain)) {
            p.setPen(ToQColor(vbWindowFrame));
            p.drawRect(r);
        } else if (frameStyle() == (QFrame::Panel | QFrame::Sunken)) {
            auto edge = [&](const QRect& q, OLE_COLOR topLeft, OLE_COLOR bottomRight) {
                p.setPen(ToQColor(topLeft));
                p.drawLine(q.topLeft(), q.topRight());
                p.drawLine(q.topLeft(), q.bottomLeft());
                p.setPen(ToQColor(bottomRight));
                p.drawLine(q.bottomLeft(), q.bottomRight());
                p.drawLine(q.topRight(), q.bottomRight());
            };
            edge(r, vbButtonShadow, vb3DHighlight);
            edge(r.adjusted(1, 1, -1, -1), vb3DDKShadow, vb3DLight);
        } else {
            QFrame::paintEvent(e);
        }
    }
};

PictureBox::PictureBox(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
{
    auto* frame = new PictureFrame(parent.ClientWidget());
    frame->resized = [this] { FrameResized(); };
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
