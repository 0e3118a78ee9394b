// Replays end to end on the generated content: the game records a two-player match played with
// real key presses through its frame loops, keeps it in replays/, offers it again at the end of
// match (R), and plays it with the viewer's keys; the file then checks out headless.
#include "game_dir_fixture.h"

#include <filesystem>
#include <fstream>

#include "data/stages.h"
#include "fight/bot.h"
#include "fight/fight_state.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "match/debug_keys.h"
#include "match/end_of_match.h"
#include "match/match.h"
#include "match/match_tape.h"
#include "menus/menu_framework.h"
#include "render/debug_overlay.h"
#include "render/layout_record.h"
#include "replays/replays.h"
#include "runtime/files.h"
#include "runtime/headless.h"
#include "settings/game_screen.h"
#include "shell/startup.h"

namespace {
constexpr int64_t kFirstFightFrame = 3 + 2 + 300; // loading frames, class preparations, intro

std::vector<std::string> replayFiles() {
    std::vector<std::string> files;
    if (!std::filesystem::exists(replayDirectory)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(replayDirectory))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

void keepScreenshot(const std::string& file) {
    if (const char* keep = std::getenv("QRX_KEEP_SCREENSHOTS"))
        if (std::filesystem::exists(file))
            std::filesystem::copy_file(file, std::string(keep) + "/" + file,
                                       std::filesystem::copy_options::overwrite_existing);
}

struct Replays : GeneratedGameTest {
    std::vector<std::string> screens;
    void TearDown() override {
        screenOpenedHook = nullptr;
        matchHooks = MatchHooks{};
        matchTape = MatchTape{};
        GeneratedGameTest::TearDown();
    }
    // Two players at 1280 x 720 on the first stage: player one walks at player two and keeps
    // attacking; player two stands.
    void startTwoPlayers(HeadlessOptions options) {
        scriptKeyTap(options.script, kFirstFightFrame, kKeyLeft, 6000);
        for (int64_t frame = 26; frame < 6000; frame += 24)
            scriptKeyTap(options.script, kFirstFightFrame + frame, 25, 2);
        startTwoPlayerGame(options);
        screenOpenedHook = [this](const std::string& name) { screens.push_back(name); };
    }
};
} // namespace

// The match is recorded and kept; R on the result banner plays it again in the window, where
// Space pauses (the fight stands still), Right steps one frame, 4 doubles the speed and Escape
// leaves. The kept file plays back headless to the same end.
TEST_F(Replays, AMatchIsKeptOfferedAgainAndPlayedWithTheViewersKeys) {
    HeadlessOptions options;
    startTwoPlayers(options);
    // Once the knock-out has happened, R on the banner; in the playback that follows, the
    // viewer's keys at chosen points of the fight, each with a screenshot.
    int64_t knockOutFrame = -1, pausedAt = -1;
    uint64_t pausedHash = 0;
    size_t steppedFrom = 0;
    matchHooks.afterFightFrame = [&](int64_t pass) {
        if (!matchTape.playing) {
            if (knockOutFrame < 0 && playerTwo.life <= 0) {
                knockOutFrame = pass;
                scriptTapLater(30, kKeyR);
            }
            return;
        }
        if (pass == 400) {
            scriptTapLater(1, kKeySpace);                 // pause
            scriptAdd({presentedFrames() + 4, kScriptScreenshot, 0, 0, "replay_paused.png"});
            scriptTapLater(8, kKeyRight);                 // one frame on
            scriptTapLater(12, kKeySpace);                // play on
            scriptTapLater(14, kKey1 + 3);                // at twice the speed
            scriptAdd({presentedFrames() + 20, kScriptScreenshot, 0, 0, "replay_fast.png"});
            pausedAt = pass;
            pausedHash = fightHash(fight);
            steppedFrom = matchTape.next;
        }
        if (pass == 401) {
            // The pause held the fight at pass 400's state; Right then ran exactly one frame.
            EXPECT_TRUE(matchTape.paused || matchTape.next == steppedFrom + 1);
        }
        if (pass == 380) scriptAdd({presentedFrames() + 1, kScriptScreenshot, 0, 0, "replay_playing.png"});
        if (pass == 430) scriptTapLater(1, kKeyEscape);
    };
    EXPECT_EQ(runRecordedMatch(game, 0), 2);
    ASSERT_GT(knockOutFrame, 0);
    EXPECT_NE(std::find(screens.begin(), screens.end(), "replay"), screens.end());
    EXPECT_EQ(pausedAt, 400);
    EXPECT_NE(pausedHash, 0u);
    for (const char* file : {"replay_playing.png", "replay_paused.png", "replay_fast.png"}) {
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
        keepScreenshot(file);
    }

    std::vector<std::string> files = replayFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].find("-vs-"), std::string::npos);
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplay(replayDirectory + "/" + files[0], replay, error)) << error;
    EXPECT_EQ(replay.result, 2);
    EXPECT_EQ(replay.mode, 0);
    int64_t pressed = 0;
    for (const ReplayFrame& f : replay.frames) pressed += f.actions[0] != 0;
    EXPECT_GT(pressed, 100); // player one's keys are in it
    // Headless, without the viewer: every hash and the end agree.
    EXPECT_EQ(replayRefusal(replay), "");
    applyReplaySetup(game, replay);
    ReplayCheck check = playReplay(game, replay, false);
    restoreFightSettings();
    EXPECT_EQ(check.firstMismatch, -1);
    EXPECT_TRUE(check.finished);
    EXPECT_TRUE(check.sameEnd);
}

// Replays of other data or another screen are refused with what differs; the game keeps the
// newest 50 in replays/ and removes the oldest.
TEST_F(Replays, OtherDataIsRefusedAndTheNewestFiftyAreKept) {
    HeadlessOptions options;
    options.nullRenderer = true;
    startTwoPlayers(options);
    std::filesystem::create_directories(replayDirectory);
    for (int i = 0; i < 50; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "2020-01-01_00-00-%02d_A-vs-B.qrxreplay", i);
        std::ofstream(replayDirectory + "/" + name) << "old";
    }
    std::ofstream(replayDirectory + "/notes.txt") << "the player's own file";
    matchHooks.maxFightFrames = 100;
    runRecordedMatch(game, 0);
    std::vector<std::string> files = replayFiles();
    EXPECT_EQ(files.size(), 51u); // 50 replays and the player's file
    EXPECT_EQ(std::count(files.begin(), files.end(), "2020-01-01_00-00-00_A-vs-B.qrxreplay"), 0);
    EXPECT_EQ(std::count(files.begin(), files.end(), "notes.txt"), 1);

    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplay(replayDirectory + "/" + files[49], replay, error)) << error;
    EXPECT_EQ(replayRefusal(replay), "");
    Replay other = replay;
    other.dataHash ^= 1;
    EXPECT_NE(replayRefusal(other).find("data.json"), std::string::npos) << replayRefusal(other);
    other = replay;
    other.contentHashes[0].second ^= 1;
    EXPECT_NE(replayRefusal(other).find("pictures of"), std::string::npos) << replayRefusal(other);
    other = replay;
    other.gameVersion = "0.0.1";
    EXPECT_NE(replayRefusal(other).find("0.0.1"), std::string::npos);
    other = replay;
    for (auto& [name, value] : other.settings)
        if (name == "screenWidth") value = 1920;
    EXPECT_NE(replayRefusal(other).find("1920x720"), std::string::npos) << replayRefusal(other);
    // Settings the game could not have recorded: refused before anything is set up.
    for (const char* setting : {"attackDelay", "frameRate", "tickCarry1"}) {
        other = replay;
        for (auto& [name, value] : other.settings)
            if (name == setting) value = 0x7FC00000; // a NaN's bits, far out of every range
        EXPECT_EQ(replayRefusal(other), std::string("damaged replay: setting ") + setting);
    }

    // A replay of the time before the fight's rules were numbered plays by the first rules (its
    // hits resolved player one first); one of rules newer than this game's is refused.
    other = replay;
    EXPECT_EQ(std::erase_if(other.settings, [](const auto& s) { return s.first == "fightRules"; }), 1u);
    EXPECT_EQ(replayRefusal(other), "");
    applyReplaySetup(game, other);
    EXPECT_EQ(matchRules, 1);
    restoreFightSettings();
    EXPECT_EQ(matchRules, kFightRules);
    other.settings.emplace_back("fightRules", kFightRules + 1);
    EXPECT_NE(replayRefusal(other).find("newer than this game's"), std::string::npos);

    // Player one's keys changed from the 20th fight frame on: the playback names the first
    // checked frame after it as the first that differs.
    ASSERT_EQ(replay.frames[320].phase, 1);
    other = replay;
    for (size_t i = 320; i < other.frames.size(); ++i) other.frames[i].actions[0] = 1 + 64; // up, jump
    applyReplaySetup(game, other);
    ReplayCheck check = playReplay(game, other, false);
    restoreFightSettings();
    EXPECT_EQ(check.firstMismatch, 350);
    EXPECT_FALSE(check.sameEnd);
    applyReplaySetup(game, replay);
    check = playReplay(game, replay, false);
    restoreFightSettings();
    EXPECT_EQ(check.firstMismatch, -1);
    EXPECT_TRUE(check.sameEnd);
}

// quarrelix --replay FILE: the window opens at the replay's size (here 1280 x 720 on a larger
// desktop), the match plays to its end and the program's exit code is 0; a damaged file is
// refused with a message and exit code 1.
TEST_F(Replays, TheGameWatchesAReplayFileAndRefusesADamagedOne) {
    HeadlessOptions options;
    options.nullRenderer = true;
    startTwoPlayerGame(options);
    matchHooks.maxFightFrames = 60;
    runRecordedMatch(game, 0);
    std::vector<std::string> files = replayFiles();
    ASSERT_EQ(files.size(), 1u);
    std::string path = replayDirectory + "/" + files[0];
    endGame();

    HeadlessOptions desktop;
    desktop.nullRenderer = true;
    desktop.desktopWidth = 1920;
    desktop.desktopHeight = 1080;
    setHeadless(desktop);
    matchHooks = MatchHooks{};
    int64_t width = 0;
    matchHooks.afterFightFrame = [&](int64_t) { width = screenWidth; };
    EXPECT_EQ(runReplayFile(path), 0);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(matchHooks.fightFrames, 60);

    std::string bytes;
    ASSERT_TRUE(readWholeFile(path, bytes));
    bytes[bytes.size() / 2] ^= 0x20;
    ASSERT_TRUE(replaceFileAtomically("damaged.qrxreplay", bytes));
    setHeadless(desktop);
    EXPECT_EQ(runReplayFile("damaged.qrxreplay"), 1);
    EXPECT_NE(messageBoxLog().find("This replay cannot be played: damaged replay"), std::string::npos)
        << messageBoxLog();
    setHeadless(desktop);
    startUpGame(game); // the fixture's end needs a started game
}

// A match in which the debug keys changed the fight (Left Shift with 2 refills both lives) is
// not kept: its replay could not play back. Debug keys that change nothing in it (0, the frame
// rate) leave the recording alone.
TEST_F(Replays, AFightChangedByDebugKeysIsNotKept) {
    HeadlessOptions options;
    options.nullRenderer = true;
    startTwoPlayerGame(options);
    setDebugMode(true);
    matchHooks.maxFightFrames = 60;
    matchHooks.afterFightFrame = [](int64_t pass) {
        if (pass == 10) {
            scriptTapLater(1, kKeyLeftShift, 4);
            scriptTapLater(2, 0x0B); // 0: the frame rate read-out
        }
    };
    runRecordedMatch(game, 0);
    EXPECT_EQ(replayFiles().size(), 1u);
    matchHooks.afterFightFrame = [](int64_t pass) {
        if (pass == 5) playerOne.life -= 10; // some damage for the key to undo
        if (pass == 10) {
            scriptTapLater(1, kKeyLeftShift, 4);
            scriptTapLater(2, 0x03); // 2: both lives full again
        }
    };
    runRecordedMatch(game, 0);
    EXPECT_EQ(playerOne.life, playerOne.maxLife);
    EXPECT_EQ(replayFiles().size(), 1u);
    setDebugMode(false);
}

namespace {
constexpr int64_t kKeyT = 20; // the next key offered when R is taken, then F

struct WatchKeyCase {
    const char* what;
    std::vector<std::pair<int64_t Controls::*, int64_t>> oneSecondary, twoSecondary;
    int64_t oneNeutral; // player one's primary attack key
    int64_t expected;
};
} // namespace

// The banner's key is R while no binding uses it, else the first free key of its list; a
// binding anywhere (either player, primary or secondary, any action) takes a key out.
// A replay or an online match decides the jump-with-up a match records and hashes; the
// players' own choices stay as they are and count again once it is over.
TEST(MatchJumpWithUp, DecidedForAMatchWithoutTouchingThePlayersChoice) {
    playerSetups[0].jumpWithUp = 1;
    playerSetups[1].jumpWithUp = 0;
    EXPECT_EQ(currentMatchSetup().jumpWithUp, (std::array<int64_t, 2>{1, 0}));
    jumpWithUpOverride = {0, 1};
    EXPECT_EQ(matchJumpWithUp(0), 0);
    EXPECT_EQ(currentMatchSetup().jumpWithUp, (std::array<int64_t, 2>{0, 1}));
    EXPECT_EQ(playerSetups[0].jumpWithUp, 1);
    restoreFightSettings();
    EXPECT_EQ(currentMatchSetup().jumpWithUp, (std::array<int64_t, 2>{1, 0}));
    playerSetups[0].jumpWithUp = 0;
}

TEST(WatchAgainKey, IsOneNoBindingUses) {
    const KeyBindings one = playerSetups[0].keyBindings, two = playerSetups[1].keyBindings;
    const std::vector<int64_t> candidates = {kKeyR, kKeyT, kKeyF, 49, 50, 44, 45, 46, 22, 23, 37, 30, 31};
    std::vector<WatchKeyCase> cases = {
        {"the default keys", {}, {}, 25, kKeyR},
        {"player one attacks with R", {}, {}, kKeyR, kKeyT},
        {"R and T as secondary keys of both players", {{&Controls::heavy, kKeyT}},
         {{&Controls::jump, kKeyR}}, 25, kKeyF},
    };
    WatchKeyCase all{"every key of the list bound", {}, {}, kKeyR, 0};
    int64_t Controls::* const actions[] = {&Controls::up, &Controls::down, &Controls::right,
                                           &Controls::left, &Controls::neutral, &Controls::heavy,
                                           &Controls::jump};
    for (size_t i = 1; i < candidates.size(); ++i)
        (i <= 7 ? all.oneSecondary : all.twoSecondary).push_back({actions[(i - 1) % 7], candidates[i]});
    cases.push_back(all);
    for (const WatchKeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        playerSetups[0].keyBindings = {defaultControls(1), Controls{}};
        playerSetups[1].keyBindings = {defaultControls(2), Controls{}};
        playerSetups[0].keyBindings.primary.neutral = c.oneNeutral;
        for (auto [action, code] : c.oneSecondary) playerSetups[0].keyBindings.secondary.*action = code;
        for (auto [action, code] : c.twoSecondary) playerSetups[1].keyBindings.secondary.*action = code;
        EXPECT_EQ(watchAgainKey(), c.expected);
    }
    playerSetups[0].keyBindings = one;
    playerSetups[1].keyBindings = two;
}

// With R bound to player one's attack, R on the result banner keeps its move (the recording
// holds player one's attack in the end of match) and watches nothing; the banner names T
// instead, and T watches the match again.
TEST_F(Replays, ABoundRKeepsItsMoveAndTheBannerOffersAnotherKey) {
    HeadlessOptions options; // drawn: the banner's line is read from the frame's layout
    startTwoPlayers(options);
    const KeyBindings saved = playerSetups[0].keyBindings;
    playerSetups[0].keyBindings.primary.neutral = kKeyR;
    std::vector<LaidOut> laid;
    recordLayout(&laid);
    int64_t bannerFramesBeforeWatching = -1;
    screenOpenedHook = [&](const std::string& name) {
        screens.push_back(name);
        if (name == "replay") bannerFramesBeforeWatching = int64_t(matchHooks.endCountdown.size());
    };
    matchHooks.afterFightFrame = [](int64_t pass) {
        if (pass == 20) playerTwo.life = -40; // knocked out, in the recording and the playback
        if (!matchTape.playing && pass == 20) {
            scriptTapLater(40, kKeyR, 3); // on the banner
            scriptTapLater(80, kKeyT);
        }
        if (matchTape.playing && pass == 10) scriptTapLater(1, kKeyEscape);
    };
    runRecordedMatch(game, 0);
    recordLayout(nullptr);
    playerSetups[0].keyBindings = saved;
    EXPECT_NE(std::find(screens.begin(), screens.end(), "replay"), screens.end());
    // Watched from T's frame on, not from R's (both counted from the knock-out, the banner
    // following it at once).
    EXPECT_GT(bannerFramesBeforeWatching, 60);
    EXPECT_LT(bannerFramesBeforeWatching, 120);
    int64_t offersT = 0, offersR = 0;
    for (const LaidOut& l : laid) {
        offersT += l.what == "| T : watch this match again |";
        offersR += l.what == "| R : watch this match again |";
    }
    EXPECT_GT(offersT, 0);
    EXPECT_EQ(offersR, 0);
    std::vector<std::string> files = replayFiles();
    ASSERT_EQ(files.size(), 1u);
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplay(replayDirectory + "/" + files[0], replay, error)) << error;
    int64_t attacksOnTheBanner = 0;
    for (const ReplayFrame& f : replay.frames)
        attacksOnTheBanner += f.phase == 2 && (f.actions[0] & (1u << 4)) != 0;
    EXPECT_GT(attacksOnTheBanner, 0) << "R should have been player one's attack";
}
