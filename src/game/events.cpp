// The list of what happened in the game since it was last consumed.
#include "game/events.h"

#include "app/state.h"

GameEvent gameEvents[maxGameEvents];
int gameEventCount = 0;

void recordEvent(GameEventKind kind, float x, float y, float z)
{
    if (gameEventCount < maxGameEvents)
        gameEvents[gameEventCount++] = {kind, x, y, z};
}

void recordBallEvent(GameEventKind kind)
{
    recordEvent(kind, ballX, ballY, ballZ);
}

void clearEvents()
{
    gameEventCount = 0;
}
