// The menus' frame times as a player meets them, for quarrelix-match --bench --menus.
#pragma once

// Runs the game's own state loop headless from the main menu, with scripted keys: the
// two-player class selection with both previews, the fighter viewer and the options, each
// for a few seconds, then leaves. Prints each screen's frame work (median, 99th percentile,
// longest, after its fade in; the fades out apart) on standard error.
struct FightContext;

void benchMenus(FightContext& context); // the screens show the context's fight
