// The keyboard: levels, cameras, curving, sound, pause, projection, rally reset and quit,
// each key a command in one table; Escape closes the key card or leaves full screen.
// Letters act alike in either case.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "app/numeric.h"
#include "app/state.h"
#include "game/game.h"
#include "input/input.h"
#include "render/render.h"
#include "sound/sound.h"

// Lines go out at once, so a console or a pipe sees them as they happen; the window shows
// them too, where no console is read.
static void say(const char* line)
{
    printf("%s", line);
    fflush(stdout);
    showCaption(line);
}

// Pausing or resuming puts the key card away: a rally is never played behind it.
static void togglePause()
{
    closeKeyCard();
    paused = 1 - paused;
}

static void levelDown()
{
    level = maxI(level - 1, 1);
    levelPoints = 0;
    say("LEVEL DOWN\n");
}

static void levelUp()
{
    level = level + 1;
    levelPoints = 0;
    say("LEVEL UP\n");
}

static void toggleCurving()
{
    curving = 1 - curving;
    say(curving == 1 ? "CURVING ON\n" : "CURVING OFF\n");
}

// Muting takes effect at once: the sound module stops what plays after this callback.
static void toggleSound()
{
    soundOn = 1 - soundOn;
    say(soundOn == 1 ? "SOUND ON\n" : "SOUND OFF\n");
}

struct KeyCommand {
    unsigned char key;  // lower case for letters
    void (*run)();
};

// The camera digits sit where their directions lie on a numeric keypad.
static const KeyCommand keyCommands[] = {
    {'-', levelDown},
    {'=', levelUp},
    {'5', [] { viewMode = 0; }},
    {'4', [] { viewMode = 1; }},
    {'6', [] { viewMode = 2; }},
    {'2', [] { viewMode = 3; }},
    {'8', [] { viewMode = 4; }},
    {'c', toggleCurving},
    {'m', toggleSound},
    {'p', togglePause},
    {'q', [] { exit(0); }},
    {'r', resetRally},
    {'v', [] { orthographic = 1 - orthographic; }},
};

void keyCommand(unsigned char key)
{
    if (key >= 'A' && key <= 'Z')
        key = static_cast<unsigned char>(key - 'A' + 'a');
    for (const KeyCommand& command : keyCommands) {
        if (command.key == key) {
            command.run();
            return;
        }
    }
}

const unsigned char escapeKey = 27;

void keyboard(unsigned char key, int, int)
{
    keyCommand(key);
    // Escape puts the key card away first; only without one does it leave full screen.
    if (key == escapeKey) {
        if (keyCardShown())
            closeKeyCard();
        else
            leaveFullScreen();
    }
    glutPostRedisplay();
}
