// The arcade's ladder.
#include "modes/arcade.h"

#include <algorithm>
#include <random>

#include "data/fighter_class.h"

int64_t ladderLevel(int64_t index, int64_t count) {
    if (index >= count - 2) return 3;
    return std::min<int64_t>(3, 1 + 2 * index / std::max<int64_t>(1, count - 2));
}

std::vector<LadderFight> arcadeLadder(int64_t playerPosition, const std::vector<int64_t>& playable,
                                      uint64_t seed, int64_t stageCount) {
    std::vector<int64_t> opponents;
    for (int64_t position : playable)
        if (position != playerPosition) opponents.push_back(position);
    // Its own generator: the ladder is the same for a seed whatever the fights draw.
    std::mt19937_64 draw(seed);
    for (size_t i = opponents.size(); i > 1; --i) std::swap(opponents[i - 1], opponents[draw() % i]);
    const int64_t firstStage = stageCount > 0 ? int64_t(draw() % uint64_t(stageCount)) : 0;
    std::vector<LadderFight> ladder;
    for (size_t k = 0; k < opponents.size(); ++k)
        ladder.push_back({opponents[k], ladderLevel(int64_t(k), int64_t(opponents.size())),
                          stageCount > 0 ? (firstStage + int64_t(k)) % stageCount : 0});
    return ladder;
}

std::vector<int64_t> playableClassPositions() {
    std::vector<int64_t> playable;
    for (size_t i = 0; i < classes.size(); ++i)
        if (isSelectable(*classes[i])) playable.push_back(int64_t(i));
    return playable;
}

int64_t survivalLifeAfterWin(int64_t life, int64_t maxLife) {
    return std::min(maxLife, life + maxLife / 5);
}
