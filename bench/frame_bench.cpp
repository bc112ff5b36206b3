// Costs of drawing, by llvmpipe in a real window: whole frames (drawn, swapped and finished)
// against an empty frame (clear and swap), and each drawing routine alone on a cleared
// buffer under the frame's camera, projection and lights. Each iteration starts from the
// same game state, so the opponent's step, the flash decay and the fade do the same work.
#include <benchmark/benchmark.h>

#include <GL/freeglut.h>

#include "app/state.h"
#include "game/game.h"
#include "game_snapshot.h"
#include "render/render.h"

// The yardstick: what any window at this size pays for a frame.
static void emptyFrame(benchmark::State& st)
{
    for (auto _ : st) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
        glFinish();
    }
}
BENCHMARK(emptyFrame)->Name("frame/empty")->UseRealTime()->MeasureProcessCPUTime();

static void wholeFrame(benchmark::State& st, void (*setUp)(), int view)
{
    setUp();
    viewMode = view;
    const GameSnapshot s = takeSnapshot();
    for (auto _ : st) {
        restoreSnapshot(s);
        drawFrame();
        glutSwapBuffers();
        glFinish();
    }
}
BENCHMARK_CAPTURE(wholeFrame, rest0, restState, 0)
    ->Name("frame/view0/rest")->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(wholeFrame, rally0, rallyState, 0)
    ->Name("frame/view0/rally")->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(wholeFrame, rest1, restState, 1)
    ->Name("frame/view1/rest")->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(wholeFrame, rally1, rallyState, 1)
    ->Name("frame/view1/rally")->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(wholeFrame, fade0, fadeState, 0)
    ->Name("frame/view0/fade")->UseRealTime()->MeasureProcessCPUTime();

// A display call at rest or paused: the state compared with the last drawn frame's, the
// window found intact, nothing drawn and nothing swapped.
static void skippedFrame(benchmark::State& st)
{
    restState();
    watchExposures();
    presentFrame();  // the frames that draw: the first, and the one it leaves owed
    presentFrame();
    for (auto _ : st)
        presentFrame();
}
BENCHMARK(skippedFrame)->Name("frame/skipped")->UseRealTime()->MeasureProcessCPUTime();

// A rally frame on a software renderer: only the rectangle where the ball, its shadow and
// the opponent moved, redrawn under a scissor and copied to the window. The state takes
// turns between two successive frames of a rally, so every frame moves them; the pointer
// stays put.
static void partialFrame(benchmark::State& st)
{
    rallyState();
    const GameSnapshot first = takeSnapshot();
    tickGame();
    drawFrame();
    const GameSnapshot second = takeSnapshot();
    partialFrames = partialFramesOffered();
    if (!partialFrames) {
        st.SkipWithError("the driver offers no partial frames");
        return;
    }
    watchExposures();
    long frame = 0;
    for (int i = 0; i < 3; i++) {  // a swapped and a copied whole frame first
        restoreSnapshot(frame++ % 2 ? second : first);
        presentFrame();
    }
    for (auto _ : st) {
        restoreSnapshot(frame++ % 2 ? second : first);
        presentFrame();
        glFinish();
    }
    if (lastPresentation() != partCopied)
        st.SkipWithError("the frames were not partial");
    partialFrames = false;
}
BENCHMARK(partialFrame)->Name("frame/view0/rally-partial")->UseRealTime()->MeasureProcessCPUTime();

// What the frame does before its first drawing routine: clear, camera, projection, lights.
// The heads-up items get the heads-up pass's orthographic projection instead.
static void beginScene(int view, bool headsUp)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (view == 0)
        gluLookAt(0.0, 0.0, 2.2, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    else
        gluLookAt(-6.0, 0.0, arenaDepth / 2.0, 0.0, 0.0, arenaDepth / 2.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (headsUp)
        glOrtho(-2.0 * windowAspect(), 2.0 * windowAspect(), -2.0, 2.0, 1.0, 10.0);
    else
        gluPerspective(80.0, windowAspect(), 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    positionLights();
}

static void nothing() {}

static void oneRoutine(benchmark::State& st, void (*setUp)(), int view, bool headsUp,
                       void (*draw)())
{
    setUp();
    viewMode = view;
    const GameSnapshot s = takeSnapshot();
    for (auto _ : st) {
        restoreSnapshot(s);
        beginScene(view, headsUp);
        draw();
        glPopMatrix();
        glFinish();
    }
}
#define VOLKRIN_PART(id, name, setUp, view, headsUp, draw)                                 \
    BENCHMARK_CAPTURE(oneRoutine, id, setUp, view, headsUp, draw)                          \
        ->Name(name)->UseRealTime()->MeasureProcessCPUTime()

VOLKRIN_PART(baseline, "part/baseline", rallyState, 0, false, nothing);
VOLKRIN_PART(arena0, "part/drawArena/view0", rallyState, 0, false, drawArena);
VOLKRIN_PART(arena1, "part/drawArena/view1", rallyState, 1, false, drawArena);
VOLKRIN_PART(ball, "part/drawBall", rallyState, 0, false, drawBall);
VOLKRIN_PART(opponent, "part/drawOpponentPaddle", rallyState, 0, false, drawOpponentPaddle);
VOLKRIN_PART(player, "part/drawPlayerPaddle", rallyState, 0, false, drawPlayerPaddle);
VOLKRIN_PART(lives, "part/drawLives", rallyState, 0, true, drawLives);
VOLKRIN_PART(points, "part/drawLevelPoints", rallyState, 0, true, drawLevelPoints);
VOLKRIN_PART(counter, "part/drawLevelCounter", rallyState, 0, true, drawLevelCounter);
VOLKRIN_PART(fade, "part/drawGameOverFade", fadeState, 0, false, drawGameOverFade);
