#include "util/PasswordRules.h"

#include <gtest/gtest.h>

TEST(PasswordRulesTest, StrengthScores)
{
    const struct
    {
        const char* name;
        QString password;
        int score;
    } cases[] = {
        {"too short", QStringLiteral("Ab1!xyz"), 0},
        {"eight identical characters", QStringLiteral("aaaaaaaa"), 2},
        {"one character fills 70 %", QStringLiteral("aaaaaaaaaB"), 10},
        {"eight lower-case letters", QStringLiteral("abcdefgh"), 10},
        {"two classes, 13 characters", QStringLiteral("abcdefghijk12"), 35},
        {"25 characters of all four classes", QStringLiteral("Abcdefghij1234567890!#$%&"), 85},
        {"half-width punctuation counts as a symbol", QStringLiteral("abcdefg\uFF61"), 25},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PasswordRules::PasswordStrength(c.password), c.score) << c.name;
    }
}

TEST(PasswordRulesTest, OnlyTheFourClassesAreAllowed)
{
    const struct
    {
        QString password;
        bool valid;
    } cases[] = {
        {QStringLiteral("abcdefg"), false},                         // 7 characters
        {QStringLiteral("abcdefgh"), true},                         // 8
        {QString(32, QLatin1Char('a')), true},                      // 32
        {QString(33, QLatin1Char('a')), false},                     // 33
        {QStringLiteral("abcd efgh"), false},                       // a space
        {QStringLiteral("abcdefgＡ"), false},                       // a full-width letter
        {QStringLiteral("abcdefg€"), false},                        // the euro sign
        {QStringLiteral("abcdefg\""), true},                        // the double quote
        {QStringLiteral("abcdefg\uFF61"), true},                    // half-width "｡"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PasswordRules::IsValidPassword(c.password), c.valid) << c.password.toStdString();
    }
}
