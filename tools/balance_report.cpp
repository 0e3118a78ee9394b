// quarrelix-balance DIR [--data PATH] [--command TEXT]: reads the bot matches tools/balance.sh
// ran (DIR/hard.jsonl, DIR/levels.jsonl, DIR/passive.jsonl, lines of quarrelix-match --details)
// and writes DIR/report.md and the pair matrix's heat map DIR/matrix.png; prints a summary.
// quarrelix-balance --playable [--data PATH]: prints the positions of the playable classes, the
// ones tools/balance.sh pairs.
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "balance_heatmap.h"
#include "balance_markdown.h"
#include "balance_matches.h"

namespace {

struct Options {
    std::string dir;
    std::string data;    // data.json; by default DIR/../build/game/data.json
    std::string command; // what ran the matches, for the report's header
    bool playable = false;
};

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr,
                 "quarrelix-balance: %s\n"
                 "usage: quarrelix-balance DIR [--data PATH] [--command TEXT]\n"
                 "   or: quarrelix-balance --playable [--data PATH]\n",
                 problem.c_str());
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--playable") {
            o.playable = true;
        } else if (option == "--data" || option == "--command") {
            if (i + 1 >= argc) usage("missing value for " + option);
            (option == "--data" ? o.data : o.command) = argv[++i];
        } else if (!option.empty() && option[0] == '-') {
            usage("unknown option " + option);
        } else if (o.dir.empty()) {
            o.dir = option;
        } else {
            usage("one directory only");
        }
    }
    if (o.playable && o.data.empty()) o.data = "build/game/data.json";
    if (!o.playable && o.dir.empty()) usage("no directory");
    if (o.data.empty()) o.data = o.dir + "/../build/game/data.json";
    if (o.command.empty()) o.command = "quarrelix-balance " + o.dir;
    return o;
}

[[noreturn]] void fail(const std::string& problem) {
    std::fprintf(stderr, "quarrelix-balance: %s\n", problem.c_str());
    std::exit(1);
}

// Reads one set, its classes placed in the roster.
std::vector<MatchRecord> readSet(const Roster& roster, const std::string& path) {
    std::vector<MatchRecord> matches;
    std::string error;
    if (!readMatchFile(path, matches, error)) fail(error);
    if (!placeClasses(roster, matches, error)) fail(path + ": " + error);
    return matches;
}

// The moment of the report, in UTC so that reports from anywhere compare.
std::string nowText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const Options o = parseOptions(argc, argv);
    Roster roster;
    std::string error;
    if (!readRoster(o.data, roster, error)) fail(error);
    if (o.playable) {
        std::string line;
        for (int64_t position : playablePositions(roster)) {
            if (!line.empty()) line += ' ';
            line += std::to_string(position);
        }
        std::printf("%s\n", line.c_str());
        return 0;
    }
    const std::vector<MatchRecord> hard = readSet(roster, o.dir + "/hard.jsonl");
    const std::vector<MatchRecord> levels = readSet(roster, o.dir + "/levels.jsonl");
    const std::vector<MatchRecord> passive = readSet(roster, o.dir + "/passive.jsonl");
    const BalanceFigures figures = balanceFigures(roster, hard, levels, passive);

    const std::string reportPath = o.dir + "/report.md", matrixPath = o.dir + "/matrix.png";
    std::ofstream report(reportPath, std::ios::binary);
    report << reportMarkdown(roster, figures, o.command, nowText(), "matrix.png");
    report.close();
    if (!report) fail(reportPath + ": cannot be written");
    if (!writePairMatrix(matrixPath, roster, figures.hard))
        fail(matrixPath + ": cannot be written");
    std::printf("%sReport: %s, heat map: %s\n", reportSummary(roster, figures).c_str(),
                reportPath.c_str(), matrixPath.c_str());
    return 0;
}
