// The computer opponent: a proportional chase of the ball in the far plane, a drift back
// to the centre while the ball flies toward the player. It steps once per drawn frame.
#include "app/numeric.h"
#include "app/state.h"
#include "game/game.h"

const double baseGain = 8;         // per unit of base speed, at level 1
const double gainPerLevel = 0.3;   // per level above the first
const double driftRate = 0.2;      // share of the distance to the centre, before the step factor

void trackOpponent()
{
    // The gain grows with the level and the ball's base speed; it is recomputed even
    // while the paddle is frozen.
    opponentGainY = static_cast<float>(((level - 1) * gainPerLevel + baseGain) * ballSpeedBase);
    opponentGainX = opponentGainY;

    if (!pointWon && !paused) {
        if (absF(ballYaw) > 90) {
            opponentX = static_cast<float>(
                opponentX + (static_cast<double>(ballX) - opponentX) * opponentGainX * opponentStep);
            opponentY = static_cast<float>(
                opponentY + (static_cast<double>(ballY) - opponentY) * opponentGainY * opponentStep);
        } else {
            opponentX = static_cast<float>(opponentX + (-opponentX * driftRate) * opponentStep);
            opponentY = static_cast<float>(opponentY + (-opponentY * driftRate) * opponentStep);
        }
    }
    keepPaddleInCourt(opponentX, opponentY);
}
