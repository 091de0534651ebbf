#include "model/Utilities.h"

#include <gtest/gtest.h>

// The blanks each caller names are the only characters taken off, and only at the ends.
TEST(TextHelpers, TrimmedTakesOffOnlyTheNamedBlanksAtTheEnds) {
    const struct {
        const char* text;
        const char* blanks;
        const char* expected;
    } cases[] = {
        {"  e4  ", " ", "e4"},
        {"\te4\r\n", " \t\r\n", "e4"},
        {"\te4\r\n", " ", "\te4\r\n"},
        {"id name  X \r", " \t\r", "id name  X"},
        {"line\n", " \t\r", "line\n"},
        {"   ", " ", ""},
        {"", " \t", ""},
        {"a b", " ", "a b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strTrimmed(c.text, c.blanks), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(strTrimmed(" \t x \r\n"), "x");
}

TEST(TextHelpers, LoweredChangesOnlyTheLettersAToZ) {
    EXPECT_EQ(strLowered("SetBoard Q-Side 1/2"), "setboard q-side 1/2");
    EXPECT_EQ(strLowered("\xC4\xD6 Z@["), "\xC4\xD6 z@[");
    EXPECT_EQ(strLowered(""), "");
}
