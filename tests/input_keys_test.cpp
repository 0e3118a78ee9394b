// The key name table and name lookups.
#include <gtest/gtest.h>

#include "input/bindings.h"
#include "input/keys.h"

TEST(KeyNames, TableEntries) {
    EXPECT_EQ(keyNameOf(0), "-unasigned-");
    EXPECT_EQ(keyNameOf(1), "Escape");
    EXPECT_EQ(keyNameOf(11), "0");
    EXPECT_EQ(keyNameOf(14), "-unkown-");
    EXPECT_EQ(keyNameOf(25), "P");
    EXPECT_EQ(keyNameOf(28), "Return");
    EXPECT_EQ(keyNameOf(40), "'");
    EXPECT_EQ(keyNameOf(51), ",");
    EXPECT_EQ(keyNameOf(52), "-unkown-");
    EXPECT_EQ(keyNameOf(57), "Space");
    EXPECT_EQ(keyNameOf(83), ".");
    EXPECT_EQ(keyNameOf(179), "Pad Comma");
    EXPECT_EQ(keyNameOf(184), "Right alt");
    EXPECT_EQ(keyNameOf(208), "Down");
    EXPECT_EQ(keyNameOf(255), "-unkown-");
    EXPECT_EQ(keyNameOf(300), "-unkown-");
}

TEST(KeyNames, LookupTrimsAndIgnoresCase) {
    EXPECT_EQ(keyCodeOf(" space "), 57);
    EXPECT_EQ(keyCodeOf("left SHIFT"), 42);
    EXPECT_EQ(keyCodeOf("pad 0"), 82);
    EXPECT_EQ(keyCodeOf("-unasigned-"), 0);
    EXPECT_EQ(keyCodeOf("-unkown-"), 0); // never binds a key the table does not name
    EXPECT_EQ(keyCodeOf("Hyper"), 0);
    EXPECT_EQ(keyCodeOf(""), 0);
    // Every named key reads back as its own code.
    for (int64_t code = 1; code < 256; ++code) {
        if (keyNameOf(code) != "-unkown-") EXPECT_EQ(keyCodeOf(keyNameOf(code)), code);
    }
}

TEST(KeyNames, DefaultBindings) {
    Controls one = defaultControls(1), two = defaultControls(2);
    EXPECT_EQ(keyNameOf(one.left), "Left");
    EXPECT_EQ(keyNameOf(one.neutral), "P");
    EXPECT_EQ(keyNameOf(one.heavy), "O");
    EXPECT_EQ(keyNameOf(one.jump), "L");
    EXPECT_EQ(keyNameOf(two.up), "Y");
    EXPECT_EQ(keyNameOf(two.down), "H");
    EXPECT_EQ(keyNameOf(two.right), "J");
    EXPECT_EQ(keyNameOf(two.left), "G");
    EXPECT_EQ(keyNameOf(two.neutral), "Q");
    EXPECT_EQ(keyNameOf(two.heavy), "W");
    EXPECT_EQ(keyNameOf(two.jump), "E");
}
