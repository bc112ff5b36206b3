// Keyboard: every command key in both letter cases with its exact printed line, the keys
// that do nothing, the rally reset and quitting.
#include "support.h"

#include <string>

// Presses a key and returns what it printed.
static std::string press(unsigned char key)
{
    ::testing::internal::CaptureStdout();
    keyCommand(key);
    return ::testing::internal::GetCapturedStdout();
}

TEST_F(Game, LevelKeys)
{
    levelPoints = 2;
    EXPECT_EQ(press('-'), "LEVEL DOWN\n");  // already at level 1: only the points go
    EXPECT_EQ(level, 1);
    EXPECT_EQ(levelPoints, 0);

    level = 4;
    levelPoints = 1;
    EXPECT_EQ(press('='), "LEVEL UP\n");
    EXPECT_EQ(level, 5);
    EXPECT_EQ(levelPoints, 0);
    EXPECT_EQ(lives, 5);  // no extra life by key

    levelPoints = 2;
    EXPECT_EQ(press('-'), "LEVEL DOWN\n");
    EXPECT_EQ(level, 4);
    EXPECT_EQ(levelPoints, 0);

    level = 1000;  // no upper limit
    EXPECT_EQ(press('='), "LEVEL UP\n");
    EXPECT_EQ(level, 1001);
}

TEST_F(Game, CameraKeys)
{
    const struct {
        unsigned char key;
        int view;
    } cases[] = {{'4', 1}, {'6', 2}, {'2', 3}, {'8', 4}, {'5', 0}};
    for (const auto& c : cases) {
        int old = viewMode;
        std::vector<double> before = snapshot();
        EXPECT_EQ(press(c.key), "") << c.key;
        EXPECT_EQ(viewMode, c.view) << c.key;
        viewMode = old;
        EXPECT_EQ(snapshot(), before) << c.key;
        viewMode = c.view;
    }
}

// Toggle keys, each in both cases: curving prints its new state, pause and projection
// print nothing; nothing else changes.
TEST_F(Game, ToggleKeys)
{
    EXPECT_EQ(press('c'), "CURVING OFF\n");
    EXPECT_EQ(curving, 0);
    EXPECT_EQ(press('C'), "CURVING ON\n");
    EXPECT_EQ(curving, 1);
    EXPECT_EQ(press('C'), "CURVING OFF\n");
    EXPECT_EQ(press('c'), "CURVING ON\n");
    EXPECT_EQ(curving, 1);

    const struct {
        unsigned char key;
        int* flag;
    } cases[] = {{'p', &paused}, {'P', &paused}, {'v', &orthographic}, {'V', &orthographic}};
    for (const auto& c : cases) {
        for (int want : {1, 0}) {
            std::vector<double> before = snapshot();
            EXPECT_EQ(press(c.key), "") << c.key;
            EXPECT_EQ(*c.flag, want) << c.key;
            *c.flag = 1 - want;
            EXPECT_EQ(snapshot(), before) << c.key;
            *c.flag = want;
        }
    }
}

// 'r' ends a paused rally without a point or a lost life and rests the ball.
TEST_F(Game, ResetKeyEndsAPausedRally)
{
    for (unsigned char key : {'r', 'R'}) {
        resetGameState();
        serve();
        runTicks(5);
        paused = 1;
        EXPECT_EQ(press(key), "") << key;
        EXPECT_EQ(rallyActive, 0) << key;
        EXPECT_EQ(paused, 0) << key;
        EXPECT_EQ(ballZ, -0.151f) << key;
        EXPECT_EQ(pointLost, 0) << key;
        EXPECT_EQ(lives, 5) << key;
        EXPECT_EQ(levelPoints, 0) << key;
        EXPECT_EQ(tickGame(), tickDelay);
        EXPECT_EQ(ballZ, -0.151f) << key;
    }
}

TEST_F(Game, QuitKeyExitsWithStatus0)
{
#if GTEST_HAS_DEATH_TEST
    EXPECT_EXIT(keyCommand('q'), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(keyCommand('Q'), ::testing::ExitedWithCode(0), "");
#else
    GTEST_SKIP() << "a process of one thread cannot watch itself exit; the page's tests press q";
#endif
}

// Shifted '-' and '=', the other digits, other letters and control characters: nothing.
TEST_F(Game, OtherKeysDoNothing)
{
    serve();
    runTicks(3);
    const unsigned char keys[] = {'_', '+', '0', '1', '3', '7', '9', 'a', 'Z', 'x', ' ',
                                  '\r', 27, 0, 127, 200, 255};
    std::vector<double> before = snapshot();
    for (unsigned char key : keys) {
        EXPECT_EQ(press(key), "") << static_cast<int>(key);
        EXPECT_EQ(snapshot(), before) << static_cast<int>(key);
    }
}
