// The lessons: player one on the first selectable class against a dummy that only stands, on
// the first stage, without intro, time limit or end of match. Each lesson watches the fight
// (see lesson_rules.h), says "Well done!" when it is done and hands over to the next; passed
// lessons are kept in the settings file.
#include "practice/lessons.h"

#include <array>

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "input/controls.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "match/end_of_match.h"
#include "match/frame_loop.h"
#include "match/match.h"
#include "menus/menu_framework.h"
#include "practice/lesson_drawing.h"
#include "practice/lesson_rules.h"
#include "practice/lesson_texts.h"
#include "practice/practice_fight.h"
#include "render/fade.h"
#include "render/fight_drawing.h"
#include "render/frame_images.h"
#include "runtime/runtime.h"
#include "settings/pacing.h"
#include "settings/settings.h"

std::function<void(const LessonView&)> lessonFrameHook;

namespace {
constexpr double kWellDoneMs = 1500; // how long "Well done!" shows before the next lesson
constexpr double kClosingMs = 4000;  // the closing message after the last lesson

// The n-th selectable class (0 the first); null when there are fewer.
FighterClass* selectableClass(int64_t n) {
    for (const auto& c : classes)
        if (isSelectable(*c) && n-- == 0) return c.get();
    return nullptr;
}

// Player one on the first selectable class, the dummy on the second (the first when there is
// only one), both in their first stance, neither driven by the bot.
bool chooseLessonFighters(FightState& fight) {
    Fighter& playerOne = fight.players[0];
    Fighter& playerTwo = fight.players[1];
    FighterClass* pupil = selectableClass(0);
    if (!pupil) return false;
    FighterClass* dummy = selectableClass(1);
    chooseClass(fight, playerOne, pupil, 0);
    chooseClass(fight, playerTwo, dummy ? dummy : pupil, 0);
    playerTwo.useAlternateColor = playerOne.stance && playerTwo.stance &&
                                  playerOne.stance->specialColor == playerTwo.stance->specialColor;
    for (Fighter* f : {&playerOne, &playerTwo}) {
        if (BotController* bot = botOf(fight, *f)) switchBotOff(*bot);
        f->botLevel = 0;
    }
    return true;
}

// The dummy never falls: whatever it has lost past half its life comes back at once, before
// the fight's next step could start its death.
void keepDummyStanding(Fighter& playerTwo) {
    if (playerTwo.life <= playerTwo.maxLife / 2) playerTwo.life = playerTwo.maxLife;
}

void markPassed(int64_t lesson) {
    int64_t bit = int64_t(1) << lesson;
    if (settings.lessonsPassed & bit) return;
    settings.lessonsPassed |= bit;
    saveSettings();
}

// Where the run of lessons stands.
struct LessonRun {
    LessonWatch watch;
    bool passed = false;    // the current lesson is done: "Well done!" shows
    double shownMs = 0;     // game time since it was passed, or since the closing began
    bool closing = false;   // every lesson is done: the closing message shows
    bool leaving = false;   // the fade to black before going back has begun
};

// Lessons the class cannot be taught count as passed and are gone through at once.
void beginLesson(LessonRun& run, const Fighter& playerOne, int64_t lesson) {
    while (lesson < kLessonCount && !lessonPossible(lesson, playerOne.fighterClass)) {
        markPassed(lesson);
        ++lesson;
    }
    run.passed = false;
    run.shownMs = 0;
    if (lesson >= kLessonCount) {
        run.closing = true;
        run.watch.lesson = kLessonCount;
        return;
    }
    run.watch = startLesson(lesson, playerOne);
}

// What the frame's time (ms) and the fight's state change in the run.
void advanceLessons(LessonRun& run, const FightState& fight, double frameMs) {
    const Fighter& playerOne = fight.players[0];
    if (run.closing) {
        run.shownMs += frameMs;
        if (run.shownMs >= kClosingMs) run.leaving = true;
        return;
    }
    if (!run.passed) {
        watchLesson(run.watch, playerOne, fight.players[1]);
        if (lessonDone(run.watch, playerOne.fighterClass)) {
            run.passed = true;
            markPassed(run.watch.lesson);
        }
        return;
    }
    run.shownMs += frameMs;
    if (run.shownMs >= kWellDoneMs) beginLesson(run, playerOne, run.watch.lesson + 1);
}
} // namespace

void runLessons(FightContext& context) {
    FightState& fight = context.fight;
    noteScreenOpened("lessons");
    if (!chooseLessonFighters(fight)) return;
    Stage* stage = stageList.empty() ? nullptr : &stageList[0];
    startPracticeFight(context, stage);
    beginLessonDrawing();
    LessonRun run;
    beginLesson(run, fight.players[0], firstLessonToTake(settings.lessonsPassed));
    forgetKeyReleases();
    bool black = false;
    FrameLoop loop;
    loop.phase = FramePhase::Lessons;
    loop.factor = loop.previous = nominalFrameFactor;
    int64_t frame = 0;
    loop.frame = [&](double& factor, double previous) {
        pollKeyboard();
        // The dummy takes no input: player two's keys do nothing here.
        std::array<Actions, 2> actions{
            pollActions(playerSetups[0].keyBindings, playerSetups[0].padIndex, playerSetups[0].jumpWithUp),
            Actions{}};
        stepFight(fight, stage, actions, factor, previous);
        keepDummyStanding(fight.players[1]);
        advanceLessons(run, fight, factor * 20.0); // a factor of 1 is a tick of 20 ms
        showFightStep(fight, stage, factor);
        drawLessonCard(run.closing ? closingCard()
                                   : lessonCard(run.watch, fight.players[0], run.passed));
        processWindowEvent();
        if (windowCloseRequested()) return false;
        if (!run.leaving && keyReleased(kKeyEscape)) run.leaving = true;
        if (run.leaving && (!fadeActive || fadeSpeed < 0)) startFade();
        black = updateFade(factor) == 1;
        if (fadeActive) drawFade();
        if (lessonFrameHook) lessonFrameHook({run.watch.lesson, run.passed, frame});
        return true;
    };
    loop.afterShown = [&](double) {
        loadQueuedImages(1);
        return !(black && run.leaving);
    };
    loop.pace = [](double start, double) { return framePacing(start, slowMotion); };
    loop.goOn = [&](double) {
        ++frame;
        return true;
    };
    runFrameLoop(loop);
    endLessonDrawing();
    endPracticeFight(context);
    // The tutorial menu shows through the fade running back from black.
    if (!windowCloseRequested()) revealFromBlack();
}
