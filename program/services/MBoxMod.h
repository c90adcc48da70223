#pragma once
// The program's own message box: a prompt with one of ten colour schemes,
// one of seventeen button sets, one of ten icons, a title band and an
// optional "Show this message in the future" check box. ShowMBox returns the
// 0-based index of the released button and leaves it in g_MBoxResult, and
// the check box in g_MBoxCheckValue.
//
// Each call waits in its own window, so a box asked for while another is
// open (a timer's notice) answers its own caller. The box ends only when
// one of its buttons is released; Esc and the close box do nothing.
//
// Tests of other windows install a ScriptedMBox (SetPresenter) instead of
// driving the window.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace MBoxMod {

// Shows the box and waits for a button. Title defaults to App.Title; an
// empty Title stays empty. Returns -1 only when the box was unloaded from
// outside (the program closing) before any button was released.
int16_t ShowMBox(std::string_view Prompt, int32_t ColorScheme, int32_t ButtonSet, int32_t IconIndex,
                 std::optional<std::string> Title = std::nullopt, bool ShowCheck = false);

struct MBoxRequest {
    std::string prompt;
    int32_t colorScheme = 0;
    int32_t buttonSet = 0;
    int32_t iconIndex = 0;
    std::string title;
    bool showCheck = false;
};

struct MBoxAnswer {
    int16_t button = 0;
    int16_t checkValue = 0;
};

// Who answers ShowMBox: the window, or a script in tests.
class MBoxPresenter {
public:
    virtual ~MBoxPresenter() = default;
    virtual MBoxAnswer Ask(const MBoxRequest& request) = 0;
};

// nullptr restores the window.
void SetPresenter(std::shared_ptr<MBoxPresenter> presenter);

// Answers from a queue (button 0, check box unticked, once it is empty) and
// keeps every request.
class ScriptedMBox : public MBoxPresenter {
public:
    MBoxAnswer Ask(const MBoxRequest& request) override;
    std::deque<MBoxAnswer> answers;
    std::vector<MBoxRequest> shown;
};

// --- The box's fixed data and layout (pixels) ---

struct MBoxColors {
    uint32_t window, bandStart, bandEnd, titleText, promptText, light, dark; // OLE colours
};

// nullopt for a scheme outside 0 to 9.
std::optional<MBoxColors> ColorScheme(int32_t scheme);
// The three captions of a set; "" where the set has no button. A set outside
// 0 to 16 has none.
std::vector<std::string> ButtonCaptions(int32_t buttonSet);

inline constexpr int kWindowWidth = 307;
inline constexpr int kShortHeight = 146;
inline constexpr int kTallHeight = 178;
inline constexpr int kButtonWidth = 76;
inline constexpr int kButtonHeight = 18;
inline constexpr int kButtonTop = 117;
inline constexpr int kBandHeight = 18;
inline constexpr int kPromptWidth = 249;
inline constexpr int kPromptMaxHeight = 78;
inline constexpr int kPromptGap = 4; // between the prompt and the buttons

struct MBoxLayout {
    int height = kShortHeight;    // inner height of the window
    double buttonLeft[3] = {};    // of the visible buttons
    int buttonCount = 1;          // 1 to 3, from the left
    double promptHeight = 0;      // the wrapped height, cut at 78
    double promptTop = 0;
};

// Whether the box shows the whole prompt: its label stops at six lines.
bool PromptFits(std::string_view prompt);
// before + subject + after, the subject (a name the user typed) shortened
// with an ellipsis as far as needed for the box to show the whole prompt.
std::string FitPrompt(std::string_view before, std::string_view subject, std::string_view after);

// Places the buttons for the captions and the prompt for its wrapped height.
MBoxLayout ComputeLayout(const std::vector<std::string>& captions, bool showCheck, double wrappedPromptHeight);

// The colour of each of the 18 rows of the title band and the button faces.
std::vector<uint32_t> BandGradient(uint32_t start, uint32_t end);

} // namespace MBoxMod
