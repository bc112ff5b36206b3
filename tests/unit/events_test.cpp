// What the rules and the input record for the sound: which events each kind of tick or
// input raises and where, and that recording them changes nothing of the game.
#include "support.h"

#include "game/events.h"

// The ball coming back to the player, one tick before it reaches the paddle's plane.
static void ballNearPlayer()
{
    serve();
    ballZ = -0.2f;
    ballYaw = 0.0f;
    returnPending = 0;
}

static void ballNearFarEnd()
{
    serve();
    ballZ = -3.8f;
    ballYaw = 180.0f;
}

TEST_F(Game, EachKindOfTickAndInputRaisesItsEventsAndNothingElseChanges)
{
    struct Case {
        const char* what;
        void (*setUp)();
        void (*act)();
        std::vector<GameEventKind> want;
        bool atBall;  // placed at the ball's centre; else at the court's centre
    };
    const auto tick = [] { tickGame(); };
    const Case cases[] = {
        {"serve", [] {}, serve, {serveEvent}, true},
        {"player's return", ballNearPlayer, tick, {playerReturnEvent}, true},
        {"still paddle after a return",
         [] { followPointer(250, 250); ballNearPlayer(); tickGame(); },
         [] { followPointer(250, 250); ASSERT_EQ(returnPending, 0); }, {}, true},
        {"moving paddle after a return",
         [] { followPointer(250, 250); ballNearPlayer(); tickGame(); },
         [] { followPointer(265, 240); }, {spinEvent}, true},
        {"opponent's return", ballNearFarEnd, tick, {opponentReturnEvent}, true},
        {"right wall", [] { serve(); ballX = 1.55f; ballYaw = 130.0f; }, tick, {wallBounceEvent}, true},
        {"floor", [] { serve(); ballY = -1.3f; ballPitch = 130.0f; }, tick, {wallBounceEvent}, true},
        {"corner", [] { serve(); ballX = 1.55f; ballYaw = 130.0f; ballY = -1.3f; ballPitch = 130.0f; },
         tick, {wallBounceEvent, wallBounceEvent}, true},
        {"point won", [] { ballNearFarEnd(); opponentX = 1.25f; }, tick, {pointWonEvent}, true},
        {"point lost", [] { ballNearPlayer(); playerX = 1.25f; }, tick, {pointLostEvent}, true},
        {"last life lost", [] { ballNearPlayer(); playerX = 1.25f; lives = 1; }, tick, {gameOverEvent}, false},
        {"point settled", [] { pointWon = 1; levelPoints = 2; }, tick, {}, false},
        {"level gained", [] { pointWon = 1; levelPoints = 3; }, tick, {levelGainedEvent}, false},
        {"fifth level", [] { pointWon = 1; levelPoints = 3; level = 4; }, tick,
         {levelGainedEvent, extraLifeEvent}, false},
        {"fifth level, lives full", [] { pointWon = 1; levelPoints = 3; level = 4; lives = 13; },
         tick, {levelGainedEvent}, false},
        {"paused", [] { serve(); ballX = 1.55f; ballYaw = 130.0f; paused = 1; }, tick, {}, false},
        {"resting ball", [] {}, tick, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetGameState();
        c.setUp();
        clearEvents();
        c.act();
        ASSERT_EQ(gameEventCount, static_cast<int>(c.want.size()));
        for (int i = 0; i < gameEventCount; ++i) {
            const GameEvent& e = gameEvents[i];
            EXPECT_EQ(e.kind, c.want[i]);
            EXPECT_EQ(e.x, c.atBall ? ballX : 0.0f);
            EXPECT_EQ(e.y, c.atBall ? ballY : 0.0f);
            EXPECT_EQ(e.z, c.atBall ? ballZ : 0.0f);
        }
        // Recording changes nothing of the game, and a full list drops the rest.
        const GameSnapshot after = takeSnapshot();
        for (int i = 0; i < maxGameEvents + 4; ++i)
            recordBallEvent(wallBounceEvent);
        EXPECT_TRUE(sameSnapshot(after, takeSnapshot()));
        EXPECT_EQ(gameEventCount, maxGameEvents);
    }
}
