// Reading the runner's match lines and data.json's classes for the balance report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "balance_matches.h"

namespace {

// A line as quarrelix-match --details prints it.
const char* kLine =
    R"({"seed":3,"stage":2,"p1":{"class":0,"stance":2,"level":2,"life":290,"maxLife":290,"hits":9,)"
    R"("damage":90,"maxCombo":1},"p2":{"class":4,"stance":1,"level":0,"life":178,"maxLife":245,)"
    R"("hits":0,"damage":0,"maxCombo":0},"winner":0,"frames":12000,"gameSeconds":120,)"
    R"("wallSeconds":0.09,"play":[{"attacks":190,"landed":7,"closeFrames":11629},)"
    R"({"attacks":0,"landed":0,"closeFrames":11628}]})";

// A directory of this test process's own (CTest runs each test case as a process, in parallel).
std::filesystem::path scratchDirectory() {
    return std::filesystem::temp_directory_path() / ("balance_tests-" + std::to_string(getpid()));
}

std::string scratchFile(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(scratchDirectory());
    const std::string path = (scratchDirectory() / name).string();
    std::ofstream(path) << text;
    return path;
}

} // namespace

TEST(BalanceMatches, ReadsEveryFieldOfARunnerLine) {
    MatchRecord match;
    std::string error;
    ASSERT_TRUE(parseMatchLine(kLine, match, error)) << error;
    EXPECT_EQ(match.seed, 3u);
    EXPECT_EQ(match.stage, 2);
    EXPECT_EQ(match.winner, 0);
    EXPECT_EQ(match.frames, 12000);
    EXPECT_DOUBLE_EQ(match.gameSeconds, 120);
    EXPECT_EQ(match.side[0].classId, 0);
    EXPECT_EQ(match.side[0].stance, 2);
    EXPECT_EQ(match.side[0].level, 2);
    EXPECT_EQ(match.side[0].hits, 9);
    EXPECT_EQ(match.side[0].damage, 90);
    EXPECT_EQ(match.side[0].maxCombo, 1);
    EXPECT_EQ(match.side[0].attacks, 190);
    EXPECT_EQ(match.side[0].landed, 7);
    EXPECT_EQ(match.side[0].closeFrames, 11629);
    // Each side's play counts are its own, not the first side's repeated.
    EXPECT_EQ(match.side[1].classId, 4);
    EXPECT_EQ(match.side[1].stance, 1);
    EXPECT_EQ(match.side[1].life, 178);
    EXPECT_EQ(match.side[1].maxLife, 245);
    EXPECT_EQ(match.side[1].closeFrames, 11628);
}

TEST(BalanceMatches, ALineWithoutDetailsHasNoPlayCounts) {
    std::string line = kLine;
    line = line.substr(0, line.find(",\"play\"")) + "}";
    MatchRecord match;
    std::string error;
    ASSERT_TRUE(parseMatchLine(line, match, error)) << error;
    EXPECT_EQ(match.side[0].attacks, 0);
    EXPECT_EQ(match.side[0].closeFrames, 0);
    EXPECT_EQ(match.side[0].hits, 9);
}

TEST(BalanceMatches, RefusesWhatTheRunnerDoesNotPrint) {
    MatchRecord match;
    std::string error;
    EXPECT_FALSE(parseMatchLine("fight!", match, error));
    EXPECT_FALSE(parseMatchLine("[1,2]", match, error));
    std::string line = kLine;
    std::string badWinner = line;
    badWinner.replace(badWinner.find("\"winner\":0"), 10, "\"winner\":3");
    EXPECT_FALSE(parseMatchLine(badWinner, match, error));
    EXPECT_NE(error.find("winner"), std::string::npos);
    std::string noSecondSide = line;
    noSecondSide.replace(noSecondSide.find("\"p2\""), 4, "\"p3\"");
    EXPECT_FALSE(parseMatchLine(noSecondSide, match, error));
    std::string oneSidePlayed = line;
    oneSidePlayed.replace(oneSidePlayed.find(",{\"attacks\":0"), std::string::npos, "]}");
    EXPECT_FALSE(parseMatchLine(oneSidePlayed, match, error));
    std::string noDamage = line;
    noDamage.replace(noDamage.find("\"damage\":90"), 11, "\"dmg\":90");
    EXPECT_FALSE(parseMatchLine(noDamage, match, error));
    EXPECT_NE(error.find("damage"), std::string::npos);
}

TEST(BalanceMatches, AFileSkipsBlankLinesAndNamesTheBadOne) {
    std::vector<MatchRecord> matches;
    std::string error;
    const std::string good = scratchFile("good.jsonl", std::string(kLine) + "\n\n" + kLine + "\n");
    ASSERT_TRUE(readMatchFile(good, matches, error)) << error;
    EXPECT_EQ(matches.size(), 2u);
    const std::string bad = scratchFile("bad.jsonl", std::string(kLine) + "\n\n{\"seed\":1}\n");
    matches.clear();
    EXPECT_FALSE(readMatchFile(bad, matches, error));
    EXPECT_NE(error.find("bad.jsonl:3:"), std::string::npos) << error;
    EXPECT_FALSE(readMatchFile(bad + ".missing", matches, error));
    std::filesystem::remove_all(scratchDirectory());
}

TEST(BalanceMatches, RosterKnowsPlayableClassesAndStances) {
    const std::string data = R"({"class": [
        {"id": 0, "name": "Brawler", "stance": [{"name": "Street"}, {"name": "Boxer"}]},
        {"id": 1, "name": "Duelist", "toBeAdded": 0, "notSelectable": 0, "stance": [{}]},
        {"id": 2, "name": "Warden", "toBeAdded": 1, "stance": [{"name": "Chain"}]},
        {"id": 3, "name": "Boss", "notSelectable": 1},
        {"id": 4}]})";
    Roster roster;
    std::string error;
    ASSERT_TRUE(parseRoster(data, roster, error)) << error;
    ASSERT_EQ(roster.size(), 5u);
    EXPECT_EQ(roster[0].stances, (std::vector<std::string>{"Street", "Boxer"}));
    EXPECT_EQ(roster[1].stances, (std::vector<std::string>{"stance 0"}));
    EXPECT_EQ(roster[4].name, "class 4");
    EXPECT_EQ(playablePositions(roster), (std::vector<int64_t>{0, 1, 4}));
    EXPECT_FALSE(parseRoster(R"({"classes": []})", roster, error));
}

TEST(BalanceMatches, ClassesArePlacedByIdNotByPosition) {
    // The runner prints a class's id; the report and --p1 count positions in the file.
    Roster roster;
    std::string error;
    ASSERT_TRUE(parseRoster(R"({"class": [{"id": 7, "name": "A"}, {"id": 3, "name": "B"}]})",
                            roster, error));
    EXPECT_EQ(classPositionOf(roster, 3), 1);
    EXPECT_EQ(classPositionOf(roster, 7), 0);
    EXPECT_EQ(classPositionOf(roster, 0), -1);
    std::vector<MatchRecord> matches(1);
    matches[0].side[0].classId = 3;
    matches[0].side[1].classId = 7;
    ASSERT_TRUE(placeClasses(roster, matches, error)) << error;
    EXPECT_EQ(matches[0].side[0].classIndex, 1);
    EXPECT_EQ(matches[0].side[1].classIndex, 0);
    matches[0].side[1].classId = 5;
    EXPECT_FALSE(placeClasses(roster, matches, error));
    EXPECT_NE(error.find("class 5"), std::string::npos);
}
