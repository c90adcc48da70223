#include "program/services/MBoxMod.h"

#include "program/services/MBox.h"
#include "program/services/ShellState.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"
#include "platform/forms/Color.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <array>

namespace MBoxMod {

namespace {

using forms::RGB;

// window, band start, band end, title text, prompt text, light, dark
constexpr std::array<MBoxColors, 10> kSchemes = {{
    {RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(255, 255, 255), RGB(0, 0, 0), RGB(224, 224, 224), RGB(96, 96, 96)},
    {RGB(192, 192, 160), RGB(160, 160, 128), RGB(96, 96, 64), RGB(240, 240, 192), RGB(15, 15, 63), RGB(208, 208, 176), RGB(128, 128, 96)},
    {RGB(160, 192, 128), RGB(128, 160, 96), RGB(32, 64, 0), RGB(192, 240, 128), RGB(64, 16, 96), RGB(176, 208, 144), RGB(96, 96, 64)},
    {RGB(224, 96, 32), RGB(208, 96, 64), RGB(64, 0, 0), RGB(240, 160, 64), RGB(32, 48, 16), RGB(208, 144, 112), RGB(64, 32, 16)},
    {RGB(160, 160, 224), RGB(240, 240, 240), RGB(96, 96, 128), RGB(64, 64, 128), RGB(0, 48, 64), RGB(128, 128, 240), RGB(64, 32, 128)},
    {RGB(160, 144, 160), RGB(160, 144, 160), RGB(64, 0, 64), RGB(192, 192, 192), RGB(16, 64, 96), RGB(144, 128, 144), RGB(64, 32, 64)},
    {RGB(240, 192, 192), RGB(208, 160, 160), RGB(128, 112, 112), RGB(128, 32, 32), RGB(64, 0, 0), RGB(240, 192, 192), RGB(160, 128, 128)},
    {RGB(96, 80, 208), RGB(48, 0, 32), RGB(112, 112, 240), RGB(0, 255, 255), RGB(128, 192, 192), RGB(80, 80, 208), RGB(32, 32, 128)},
    {RGB(224, 224, 96), RGB(240, 240, 128), RGB(160, 160, 32), RGB(0, 96, 32), RGB(64, 96, 16), RGB(255, 255, 128), RGB(128, 128, 32)},
    {RGB(160, 96, 16), RGB(240, 160, 96), RGB(128, 48, 32), RGB(160, 240, 32), RGB(64, 224, 16), RGB(240, 128, 32), RGB(128, 64, 16)},
}};

const std::array<std::array<const char*, 3>, 17> kButtonSets = {{
    {"OK", "", ""},
    {"Agree !", "", ""},
    {"", "", ""},
    {"OK", "No way !", ""},
    {"OK", "Help", ""},
    {"Yes", "No", ""},
    {"Yes", "No", "Cancel"},
    {"Exit", "No way !", ""},
    {"Exit", "No way !", "Cancel"},
    {"Save", "Don't Save", ""},
    {"Load", "Don't Load", ""},
    {"Print", "Don't Print", ""},
    {"Enter", "Leave", ""},
    {"Enter", "Leave", "Cancel"},
    {"Agree !", "Don't Agree !", ""},
    {"Save as New", "Replace", "Cancel"},
    {"Save", "Cancel", "Help"},
}};

std::shared_ptr<MBoxPresenter>& presenter()
{
    static std::shared_ptr<MBoxPresenter> p;
    return p;
}

// Steps 2 to 17: every step runs, also after one failed.
void layOut(MBox& box, const MBoxRequest& r)
{
    vb::ResumeNext step;
    const std::optional<MBoxColors> scheme = ColorScheme(r.colorScheme);
    const MBoxColors colors = scheme.value_or(MBoxColors{box.BackColor(), 0, 0, 0, 0, 0, 0});
    const std::vector<std::string> captions = ButtonCaptions(r.buttonSet);

    step([&] {
        box.SetScaleMode(forms::vbPixels);
        box.SetWidth(kWindowWidth * 15);
        box.SetHeight(kShortHeight * 15);
    });
    step([&] {
        box.Label3.SetTop(2);
        box.Pic1.Move(3, 3, box.ScaleWidth() - 6, kBandHeight);
    });
    step([&] {
        box.Label2.SetCaption("");
        box.Label2.Move(9, 27, kPromptWidth, 16);
    });
    step([&] {
        if (r.showCheck)
            box.SetHeight(kTallHeight * 15);
    });
    step([&] {
        if (scheme)
            box.SetBackColor(colors.window);
    });
    step([&] {
        box.Label3.SetForeColor(colors.titleText);
        for (int i = 0; i < 3; ++i)
            box.Label1(i).SetForeColor(colors.titleText);
        box.Label2.SetForeColor(colors.promptText);
        box.chkValue.SetBackColor(box.BackColor());
    });
    step([&] {
        const std::vector<uint32_t> rows = BandGradient(colors.bandStart, colors.bandEnd);
        for (int y = 0; y < kBandHeight; ++y) {
            const uint32_t c = rows[static_cast<size_t>(y)];
            box.Pic1.Line(0, y, box.Pic1.ScaleWidth(), y, c);
            for (int i = 0; i < 3; ++i)
                box.But1(i).Line(0, y, box.But1(i).ScaleWidth(), y, c);
        }
    });
    step([&] {
        const double w = box.ScaleWidth();
        const double h = box.ScaleHeight();
        box.Box(0, 0, w - 1, h - 1, colors.light);
        box.Box(1, 1, w - 2, h - 2, colors.dark);
    });
    step([&] {
        for (int i = 0; i < 3; ++i)
            box.DrawButtonFrame(i, colors.light, colors.dark);
    });
    step([&] {
        for (int i = 0; i < 3; ++i) {
            box.Label1(i).SetCaption("");
            box.Label1(i).Move(0, 2);
        }
    });
    step([&] {
        for (int i = 0; i < 3; ++i)
            box.Label1(i).SetCaption(captions[static_cast<size_t>(i)]);
    });
    step([&] {
        box.But1(1).SetVisible(false);
        box.But1(2).SetVisible(false);
    });
    step([&] {
        const MBoxLayout l = ComputeLayout(captions, r.showCheck, 0);
        for (int i = 0; i < l.buttonCount; ++i) {
            box.But1(i).Move(l.buttonLeft[i], kButtonTop);
            box.But1(i).SetVisible(true);
        }
    });
    step([&] {
        const QPixmap icon = MBox::ListImage(r.iconIndex);
        if (icon.isNull())
            vb::Raise(35600, "Index out of bounds");
        box.Image1.SetPicture(icon);
    });
    step([&] {
        box.Label2.SetCaption(r.prompt);
        const MBoxLayout l = ComputeLayout(captions, r.showCheck, box.Label2.Height());
        box.Label2.SetHeight(l.promptHeight);
        box.Label2.SetTop(l.promptTop);
    });
    step([&] { box.Label3.SetCaption(r.title); });
}

int16_t showInWindow(const MBoxRequest& r)
{
    // The program-wide box, or a box of its own while that one waits.
    forms::FormRef<MBox> extra;
    MBox* box = MBox::IfLoaded();
    if (box && box->Waiting()) {
        extra = forms::New<MBox>();
        box = extra.get();
    } else {
        box = &MBox::Instance();
    }
    layOut(*box, r);
    const int16_t answer = box->WaitForAnswer();
    if (MBox* e = extra.get())
        e->Unload();
    return answer;
}

} // namespace

int16_t ShowMBox(std::string_view Prompt, int32_t ColorScheme, int32_t ButtonSet, int32_t IconIndex,
                 std::optional<std::string> Title, bool ShowCheck)
{
    MBoxRequest r{std::string(Prompt), ColorScheme, ButtonSet, IconIndex, Title ? *Title : vb::App::Title(),
                  ShowCheck};
    if (auto p = presenter()) {
        const MBoxAnswer a = p->Ask(r);
        tv::Shell().g_MBoxResult = a.button;
        tv::Shell().g_MBoxCheckValue = a.checkValue;
        return a.button;
    }
    return showInWindow(r);
}

void SetPresenter(std::shared_ptr<MBoxPresenter> p)
{
    presenter() = std::move(p);
}

MBoxAnswer ScriptedMBox::Ask(const MBoxRequest& request)
{
    shown.push_back(request);
    if (answers.empty())
        return {};
    const MBoxAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<MBoxColors> ColorScheme(int32_t scheme)
{
    if (scheme < 0 || scheme >= static_cast<int32_t>(kSchemes.size()))
        return std::nullopt;
    return kSchemes[static_cast<size_t>(scheme)];
}

std::vector<std::string> ButtonCaptions(int32_t buttonSet)
{
    if (buttonSet < 0 || buttonSet >= static_cast<int32_t>(kButtonSets.size()))
        return {"", "", ""};
    const auto& s = kButtonSets[static_cast<size_t>(buttonSet)];
    return {s[0], s[1], s[2]};
}

bool PromptFits(std::string_view prompt)
{
    // Measured as the box's label wraps it.
    const QFontMetrics metrics(MBox::BoxFont());
    const QString text = QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size()))
                             .replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QRect r =
        metrics.boundingRect(QRect(0, 0, kPromptWidth, 100000), Qt::TextWordWrap | Qt::AlignLeft, text);
    return r.height() <= kPromptMaxHeight && r.width() <= kPromptWidth;
}

std::string FitPrompt(std::string_view before, std::string_view subject, std::string_view after)
{
    const std::string whole = std::string(before) + std::string(subject) + std::string(after);
    if (PromptFits(whole))
        return whole;
    // The longest start of the subject that fits, cut between characters.
    const QString name = QString::fromUtf8(subject.data(), static_cast<qsizetype>(subject.size()));
    auto shortened = [&](qsizetype keep) {
        return std::string(before) + name.left(keep).trimmed().toStdString() + "\u2026" + std::string(after);
    };
    qsizetype low = 0;
    qsizetype high = name.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (PromptFits(shortened(mid)))
            low = mid;
        else
            high = mid - 1;
    }
    return shortened(low);
}

MBoxLayout ComputeLayout(const std::vector<std::string>& captions, bool showCheck, double wrappedPromptHeight)
{
    MBoxLayout l;
    l.height = showCheck ? kTallHeight : kShortHeight;
    const double sw = kWindowWidth;
    const double w = kButtonWidth;
    const bool second = captions.size() > 1 && !captions[1].empty();
    const bool third = captions.size() > 2 && !captions[2].empty();
    if (second && third) {
        l.buttonCount = 3;
        l.buttonLeft[1] = sw / 2 - w / 2;
        l.buttonLeft[0] = sw / 2 - w / 2 - w - 6;
        l.buttonLeft[2] = sw / 2 + w / 2 + 6;
    } else if (second) {
        l.buttonCount = 2;
        l.buttonLeft[0] = sw / 2 - w - 6;
        l.buttonLeft[1] = sw / 2 + 6;
    } else {
        l.buttonCount = 1;
        l.buttonLeft[0] = sw / 2 - w / 2;
    }
    l.promptHeight = std::min<double>(wrappedPromptHeight, kPromptMaxHeight);
    l.promptTop = l.height / 2.0 - l.promptHeight / 2 - 5;
    // Centred on the tall box, a long prompt would run into the buttons:
    // it ends above them.
    l.promptTop = std::min(l.promptTop, kButtonTop - kPromptGap - l.promptHeight);
    return l;
}

std::vector<uint32_t> BandGradient(uint32_t start, uint32_t end)
{
    auto part = [](uint32_t c, int shift) { return static_cast<double>((c >> shift) & 0xFF); };
    double r = part(start, 0), g = part(start, 8), b = part(start, 16);
    const double steps = kBandHeight - 1;
    const double dr = (r - part(end, 0)) / steps;
    const double dg = (g - part(end, 8)) / steps;
    const double db = (b - part(end, 16)) / steps;
    std::vector<uint32_t> rows;
    for (int y = 0; y < kBandHeight; ++y) {
        rows.push_back(RGB(static_cast<int>(vb::RoundHalfEven(r)), static_cast<int>(vb::RoundHalfEven(g)),
                           static_cast<int>(vb::RoundHalfEven(b))));
        r -= dr;
        g -= dg;
        b -= db;
    }
    return rows;
}

} // namespace MBoxMod
