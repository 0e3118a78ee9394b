// Music and jingles as shipped: lengths, loops that join, levels that neither clip nor fade.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "game_dir.h"
#include "music.h"

namespace {

double rmsBetween(const AudioBuffer& a, double from, double to) {
    const size_t ch = size_t(a.channels);
    const size_t begin = size_t(std::max(0.0, from) * a.sampleRate) * ch;
    const size_t end = std::min(a.samples.size(), size_t(to * a.sampleRate) * ch);
    double sum = 0;
    for (size_t i = begin; i < end; ++i) sum += double(a.samples[i]) * a.samples[i];
    return std::sqrt(sum / double(std::max<size_t>(1, end - begin)));
}

// The step between neighbouring samples at the 99.9th percentile: the music's own busiest motion.
float typicalLargeStep(const AudioBuffer& a) {
    const size_t ch = size_t(a.channels);
    std::vector<float> steps;
    for (size_t i = ch; i < a.samples.size(); i += ch) steps.push_back(std::fabs(a.samples[i] - a.samples[i - ch]));
    const size_t k = steps.size() - steps.size() / 1000;
    std::nth_element(steps.begin(), steps.begin() + long(k), steps.end());
    return steps[k];
}

// Every track decoded from the generated tree, decoded once for the whole file.
const std::map<std::string, AudioBuffer>& decodedTracks(const std::string& dir) {
    static std::map<std::string, AudioBuffer> tracks;
    if (tracks.empty()) {
        for (const MusicTrack& t : musicTracks()) {
            AudioBuffer a;
            EXPECT_TRUE(readOgg(dir + "/" + t.file, a)) << t.file;
            tracks[t.file] = a;
        }
    }
    return tracks;
}

class MusicFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = generatedGameDir();
        if (dir.empty()) GTEST_SKIP() << "content not generated yet in " << QRX_GAME_DIR;
    }
    std::string dir;
};

}  // namespace

TEST(MusicList, EveryFileTheGameLoadsIsMadeOnce) {
    std::map<std::string, int> count;
    int loops = 0;
    for (const MusicTrack& t : musicTracks()) {
        ++count[t.file];
        loops += t.looped;
    }
    for (const char* file : {"music/Quarrelix menu v04.ogg", "music/Quarrelix main v06 loop.ogg", "music/Stick da being v05.ogg",
                             "music/Merlok v02 loop.ogg", "music/Merlok intro.ogg", "sound/counter.ogg", "sound/victory.ogg",
                             "sound/defeat.ogg"}) {
        EXPECT_EQ(count[file], 1) << file;
    }
    EXPECT_EQ(loops, 4);  // the menu and the three stages
}

TEST_F(MusicFiles, LoopsLastHalfAMinuteToAMinuteAndAHalfAndJoinSmoothly) {
    for (const MusicTrack& t : musicTracks()) {
        if (!t.looped) continue;
        const AudioBuffer& a = decodedTracks(dir).at(t.file);
        EXPECT_EQ(a.channels, 2) << t.file;
        EXPECT_EQ(a.sampleRate, kMusicRate) << t.file;
        EXPECT_GE(durationSeconds(a), 30.0) << t.file;
        EXPECT_LE(durationSeconds(a), 90.0) << t.file;
        // The jump from the last frame back to the first is no bigger than the music's own
        // large steps: no click on every repeat.
        const size_t ch = size_t(a.channels);
        float seam = 0;
        for (size_t c = 0; c < ch; ++c) seam = std::max(seam, std::fabs(a.samples[c] - a.samples[a.samples.size() - ch + c]));
        EXPECT_LE(seam, typicalLargeStep(a)) << t.file;
        // Neither a fade-out at the end nor a fade-in at the start: the loop carries on at one level.
        const double head = rmsBetween(a, 0, 2), tail = rmsBetween(a, durationSeconds(a) - 2, durationSeconds(a));
        const double body = rmsBetween(a, 0, durationSeconds(a));
        EXPECT_GT(head, 0.3 * body) << t.file;
        EXPECT_GT(tail, 0.3 * body) << t.file;
    }
}

TEST_F(MusicFiles, LevelsNeitherClipNorVanish) {
    for (const MusicTrack& t : musicTracks()) {
        const AudioBuffer& a = decodedTracks(dir).at(t.file);
        // Vorbis overshoots a little around a peak; more than that means the mix was too hot.
        EXPECT_LE(peakOf(a), 1.0f) << t.file;
        EXPECT_GT(rmsBetween(a, 0, durationSeconds(a)), 0.03) << t.file;
        double sum = 0;
        for (float s : a.samples) sum += s;
        EXPECT_LT(std::fabs(sum / double(a.samples.size())), 0.01) << t.file << " has a DC offset";
    }
}

TEST_F(MusicFiles, JinglesFitTheirMomentsAndEndInSilence) {
    for (const MusicTrack& t : musicTracks()) {
        if (t.looped) continue;
        const AudioBuffer& a = decodedTracks(dir).at(t.file);
        const double length = durationSeconds(a);
        if (t.file == "sound/counter.ogg") {
            EXPECT_NEAR(length, 3.0, 0.02);  // the countdown lasts three seconds of game time
        } else if (t.file == "music/Merlok intro.ogg") {
            EXPECT_GE(length, 2.0);
            EXPECT_LE(length, 20.0);
        } else {
            EXPECT_GE(length, 1.5) << t.file;
            EXPECT_LE(length, 8.0) << t.file;
        }
        // The countdown runs straight into the fight and may stop on its rising chord, but
        // without a click; the other pieces die away rather than stop mid-note.
        const size_t ch = size_t(a.channels);
        for (size_t c = 0; c < ch; ++c) EXPECT_LT(std::fabs(a.samples[a.samples.size() - ch + c]), 0.02f) << t.file;
        if (t.file != "sound/counter.ogg") {
            EXPECT_LT(rmsBetween(a, length - 0.05, length), 0.2 * rmsBetween(a, 0, length)) << t.file;
        }
    }
}

TEST(MusicRender, CountdownHasThreeBeatsOneSecondApart) {
    for (const MusicTrack& t : musicTracks()) {
        if (t.file != "sound/counter.ogg") continue;
        const AudioBuffer a = renderMusic(t);
        EXPECT_NEAR(durationSeconds(a), 3.0, 0.01);
        // Each second starts with a beat: its first tenth is louder than the tenth before it.
        for (int beat = 1; beat < 3; ++beat) {
            EXPECT_GT(rmsBetween(a, beat, beat + 0.1), 1.5 * rmsBetween(a, beat - 0.1, beat)) << beat;
        }
        // The same piece renders to the same samples.
        EXPECT_EQ(renderMusic(t).samples, a.samples);
    }
}
