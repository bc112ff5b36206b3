// A long scripted game: serves, rallies, misses, game overs, the level up to 200 and back,
// every camera, the projection, curving, pause and reset, over and over. The game's resident
// memory after a warm-up and at the end are printed and must stay close. About 60 s by
// default; VOLKRIN_SOAK_SECONDS sets the length (run the long form directly:
// VOLKRIN_SOAK_SECONDS=900 tests/xvfb-run.sh build/default/tests/volkrin_e2e_tests
// --gtest_filter=Soak.*).
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "harness.h"

namespace {

const long allowedGrowthKiB = 8 * 1024;

// What the script typed, to compare with what the game printed.
struct Script {
    std::string expected = "trying to load level.bmp\n";
    int curving = 1;
    long levelUps = 0, levelDowns = 0, serves = 0, misses = 0, gameOvers = 0, returns = 0;
};

void type(GameRun& run, Script& script, const std::string& keys)
{
    typeKeys(run.display, keys);
    for (char key : keys) {
        if (key == '=') {
            script.expected += "LEVEL UP\n";
            ++script.levelUps;
        } else if (key == '-') {
            script.expected += "LEVEL DOWN\n";
            ++script.levelDowns;
        } else if (key == 'c' || key == 'C') {
            script.curving = 1 - script.curving;
            script.expected += script.curving ? "CURVING ON\n" : "CURVING OFF\n";
        }
    }
}

bool serve(GameRun& run, Script& script)
{
    if (!serveBall(run))
        return false;
    ++script.serves;
    return true;
}

// Counts the ball's returns to the player's end, for up to a number of them or seconds.
void rally(GameRun& run, Script& script, int wanted, double seconds)
{
    bool far = ballBeyond(grab(run), -3.0);
    int seen = 0;
    const timespec start = now();
    while (seen < wanted && secondsSince(start) < seconds) {
        const Frame frame = grab(run);
        if (far && ballNearer(frame, -1.0)) {
            far = false;
            ++seen;
        } else if (!far && ballBeyond(frame, -3.0)) {
            far = true;
        }
    }
    script.returns += seen;
}

// One round of play, touching every command once.
void playRound(GameRun& run, Script& script)
{
    // A rally, with the level run up to 200 and back down while the ball flies, and a
    // look through every camera and both projections.
    if (serve(run, script)) {
        rally(run, script, 1, 15);
        type(run, script, std::string(199, '='));
        type(run, script, "2468");
        type(run, script, std::string(199, '-'));
        type(run, script, "5vcv");
        rally(run, script, 1, 15);
    }
    // Pause, resume, reset the rally.
    type(run, script, "ppCr");

    // A miss: serve, then leave the ball alone in a corner of the court. The fifth miss
    // of a game ends it with the fade.
    const Frame before = grab(run);
    const int spheres = lifeSpheres(before);
    if (serve(run, script) && waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -1.0); }, 10)) {
        movePointer(run.display, run.window, 495, 495);
        const bool lost = waitForFrame(run, [&](const Frame& f) {
            return (hudShown(f) && lifeSpheres(f) < spheres) || brightestSample(f) < 40;
        }, 30);
        if (lost) {
            ++script.misses;
            if (spheres == 0) {
                ++script.gameOvers;
                waitForFrame(run, [](const Frame& f) { return hudShown(f) && lifeSpheres(f) == 4; }, 30);
            }
        }
    }
}

}  // namespace

TEST(Soak, LongPlayKeepsMemoryFlat)
{
    const char* text = getenv("VOLKRIN_SOAK_SECONDS");
    const double seconds = text && *text ? atof(text) : 60;

    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    Script script;

    // Warm-up: every kind of frame drawn once, so that the renderer's caches are filled.
    playRound(run, script);
    ASSERT_TRUE(processAlive(run.pid));
    const long startKiB = residentKiB(run.pid);

    int rounds = 0;
    const timespec start = now();
    while (rounds == 0 || secondsSince(start) < seconds) {
        playRound(run, script);
        ++rounds;
        ASSERT_TRUE(processAlive(run.pid)) << "the game died in round " << rounds;
    }
    const long endKiB = residentKiB(run.pid);
    const double played = secondsSince(start);

    std::cout << "soak: " << rounds << " rounds in " << static_cast<int>(played) << " s after warm-up; "
              << script.serves << " serves, " << script.returns << " returns seen, " << script.misses
              << " misses, " << script.gameOvers << " game overs, " << script.levelUps << " levels up, "
              << script.levelDowns << " levels down" << std::endl;
    std::cout << "soak: resident memory " << startKiB << " KiB after warm-up, " << endKiB
              << " KiB at the end (" << (endKiB - startKiB) << " KiB)" << std::endl;
    RecordProperty("startKiB", static_cast<int>(startKiB));
    RecordProperty("endKiB", static_cast<int>(endKiB));

    EXPECT_GT(startKiB, 0);
    EXPECT_GT(script.serves, rounds) << "the script hardly played";
    EXPECT_GT(script.misses, 0);
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer holds freed memory back in quarantine; growth says nothing here.
#else
    EXPECT_LT(endKiB - startKiB, allowedGrowthKiB);
#endif

    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), script.expected);
}
