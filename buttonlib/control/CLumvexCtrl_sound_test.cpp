// The button's event sounds against the process's sound service with a
// recording output, whose plays last until the test moves its clock on.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/audio/AudioTestSupport.h"
#include "platform/testing/Quiescence.h"

#include <QCoreApplication>

namespace {

using audio::testing::RecordingOutput;
using audio::testing::ToneWave;
using lumvextest::ActiveButton;

int countOf(ActiveButton& b, DISPID id)
{
    const auto& events = b.box.LogOf(b.site).events;
    return int(std::count_if(events.begin(), events.end(), [id](const auto& e) { return e.id == id; }));
}

// Waits until more than `plays` sounds have reached the recorder, or until
// nothing could still bring one: no button's sound thread runs, the sound
// service has nothing queued or playing, and what was posted is delivered.
bool quietAfter(RecordingOutput& recorder, std::size_t plays)
{
    return tv::testing::WaitUntilIdle([&] {
        return recorder->PlayCount() > plays ||
               (CLumvexCtrl::SoundThreadsRunning() == 0 && audio::SoundService::Get().Idle());
    });
}

void setSound(CSound& sound, unsigned milliseconds, double pitch = 440.0)
{
    const auto wave = ToneWave(milliseconds, pitch);
    ASSERT_TRUE(sound.SetRawData(wave.data(), int(wave.size())));
}

TEST(LumvexSound, AThreadedSoundPlaysItsOwnCopyAloneAndSoundDoneFollowsOnce)
{
    RecordingOutput recorder;
    ActiveButton b;
    setSound(b.button->m_sndDown, 200);
    b.button->m_bSoundThread[0] = TRUE;

    b.button->PlayEventSound(1);
    // The button's sound goes at once; the thread plays what it was given.
    b.button->m_sndDown.Empty();
    ASSERT_TRUE(recorder->WaitForStarted(1));
    EXPECT_EQ(b.button->m_bSoundThreadRunning, TRUE);
    setSound(b.button->m_sndDown, 50);
    b.button->PlayEventSound(1);
    b.button->PlayEventSound(2);
    EXPECT_EQ(recorder->PlayCount(), 1u) << "a second threaded sound waits for nobody: it is skipped";

    recorder->Advance(std::chrono::seconds(1));
    ASSERT_TRUE(recorder->WaitForFinished(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return countOf(b, DISPID_EVT_SOUNDDONE) > 0; }, 20000));
    // Once the thread has ended and its messages are in, there is one.
    ASSERT_TRUE(tv::testing::WaitUntilIdle([] { return CLumvexCtrl::SoundThreadsRunning() == 0; }));
    EXPECT_EQ(countOf(b, DISPID_EVT_SOUNDDONE), 1);
    const auto& events = b.box.LogOf(b.site).events;
    const auto done = std::find_if(events.begin(), events.end(),
                                   [](const auto& e) { return e.id == DISPID_EVT_SOUNDDONE; });
    ASSERT_EQ(done->args.size(), 1u);
    EXPECT_EQ(done->args[0].iVal, 0);
    EXPECT_EQ(b.button->m_bSoundThreadRunning, FALSE);
    const auto records = recorder->Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].sound.Frames(), 1600u) << "the 200 ms tone, not the one set later";

    // Afterwards the next threaded sound plays; SoundDone tells its index.
    b.button->m_bSoundThread[3] = TRUE;
    setSound(b.button->m_sndMouseOut, 20);
    b.button->PlayEventSound(5);
    ASSERT_TRUE(recorder->WaitForStarted(2));
    recorder->Advance(std::chrono::seconds(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return countOf(b, DISPID_EVT_SOUNDDONE) == 2; }, 20000));
    EXPECT_EQ(b.box.LogOf(b.site).events.back().args[0].iVal, 3);
}

TEST(LumvexSound, NothingPlaysAtDesignTimeOrWhenASoundIsDisabled)
{
    RecordingOutput recorder;
    for (const bool userMode : {false, true}) {
        ActiveButton b(userMode);
        CSound* sounds[] = {&b.button->m_sndDown, &b.button->m_sndUp, &b.button->m_sndMouseOver,
                            &b.button->m_sndMouseOut};
        for (CSound* s : sounds)
            setSound(*s, 20);
        if (userMode)
            b.button->m_bSoundEnabled = {FALSE, FALSE, FALSE, FALSE};
        for (const BOOL threaded : {FALSE, TRUE}) {
            b.button->m_bSoundThread = {threaded, threaded, threaded, threaded};
            for (int code = 0; code <= 6; ++code)
                b.button->PlayEventSound(code);
            EXPECT_EQ(b.button->m_bSoundThreadRunning, FALSE);
        }
        ASSERT_TRUE(quietAfter(recorder, 0));
        EXPECT_EQ(recorder->PlayCount(), 0u) << userMode;
    }
}

TEST(LumvexSound, RepeatedButtonStatesPlayOnceAndEachButtonKeepsItsOwn)
{
    RecordingOutput recorder;
    ActiveButton first;
    ActiveButton second;
    for (ActiveButton* b : {&first, &second}) {
        setSound(b->button->m_sndDown, 30, 440);
        setSound(b->button->m_sndUp, 40, 880);
    }
    QWidget* w = first.site->ControlWindow();
    win::SendMessage(w, win::BM_SETSTATE, 1, 0);
    ASSERT_TRUE(recorder->WaitForStarted(1));
    win::SendMessage(w, win::BM_SETSTATE, 1, 0);
    // The first sound ends; a second would follow it.
    recorder->Advance(std::chrono::seconds(1));
    ASSERT_TRUE(quietAfter(recorder, 1));
    EXPECT_EQ(recorder->PlayCount(), 1u);
    EXPECT_EQ(win::SendMessage(w, win::BM_GETSTATE, 0, 0) & win::BST_PUSHED, win::LRESULT(win::BST_PUSHED));

    // A release away from the first button leaves its state at 1; the
    // second button's press still sounds.
    win::SendMessage(second.site->ControlWindow(), win::BM_SETSTATE, 1, 0);
    ASSERT_TRUE(recorder->WaitForStarted(2));
    win::SendMessage(w, win::BM_SETSTATE, 0, 0);
    ASSERT_TRUE(recorder->WaitForStarted(3));
    const auto records = recorder->Records();
    EXPECT_EQ(records[0].sound.Frames(), 240u) << "down";
    EXPECT_EQ(records[1].sound.Frames(), 240u) << "down";
    EXPECT_EQ(records[2].sound.Frames(), 320u) << "up";
}

TEST(LumvexSound, ThePointerEnteringTheButtonPlaysTheMouseOverSound)
{
    RecordingOutput recorder;
    ActiveButton b;
    setSound(b.button->m_sndMouseOver, 25);
    b.button->m_bMouseOver = FALSE;
    QWidget* w = b.site->ControlWindow();
    win::SendMessage(w, win::WM_SETCURSOR, win::WPARAM(w), win::MAKELPARAM(win::HTCLIENT, win::WM_MOUSEMOVE));
    ASSERT_TRUE(recorder->WaitForStarted(1));
    EXPECT_EQ(recorder->Records()[0].sound.Frames(), 200u);
}

} // namespace
