// The fight screens' frame loop and its observer.
#include "match/frame_loop.h"

#include <string>
#include <utility>
#include <vector>

#include "match/match.h"
#include "runtime/runtime.h"

namespace {
void screenshotsAt(const std::vector<std::pair<int64_t, std::string>>& wanted, int64_t pass) {
    for (const auto& [frame, path] : wanted)
        if (frame == pass) saveScreenshot(path);
}

// The match hooks see each frame once it is drawn, before it is shown.
void observeFrame(FramePhase phase, int64_t pass) {
    switch (phase) {
    case FramePhase::Intro:
        if (matchHooks.afterIntroFrame) matchHooks.afterIntroFrame(pass);
        screenshotsAt(matchHooks.introScreenshots, pass);
        break;
    case FramePhase::EndOfMatch:
        screenshotsAt(matchHooks.endScreenshots, pass);
        break;
    case FramePhase::Lessons: // the lessons show their own state to their hook
        break;
    case FramePhase::Fight:
    case FramePhase::Training:
    case FramePhase::OnlineFight:
        if (matchHooks.afterFightFrame) matchHooks.afterFightFrame(pass);
        screenshotsAt(matchHooks.screenshots, pass);
        break;
    }
}
} // namespace

double frameWorkMs(const FrameLoop& loop) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - loop.workStart)
        .count();
}

int64_t runFrameLoop(FrameLoop& loop) {
    double factor = loop.factor, previous = loop.previous;
    for (int64_t pass = 0;; ++pass) {
        double start = systemTimeMs();
        loop.workStart = std::chrono::steady_clock::now();
        if (!loop.frame(factor, previous)) return pass;
        observeFrame(loop.phase, pass);
        if (loop.beforeShown && !loop.beforeShown(factor)) return pass;
        presentFrame();
        if (loop.afterShown && !loop.afterShown(factor)) return pass + 1;
        previous = factor;
        factor = loop.pace(start, factor);
        if (loop.goOn && !loop.goOn(factor)) return pass + 1;
    }
}
