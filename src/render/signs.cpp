// What the game says in its window: a caption for each line it prints, the pause sign and
// the key card (F1), drawn over the finished frame in freeglut's stroke font.
// Sizes are in the units of the orthographic heads-up volume (y from -2 to 2), so the text
// grows with the window's height as the court does.
#include <GL/freeglut.h>

#include <cstring>

#include "app/numeric.h"
#include "app/state.h"
#include "render/render.h"

// The caption: the last printed line, and how long ago it came, in the time the game's timer
// has waited since (not the wall clock, so that a test can drive it).
static char captionText[sizeof(SignLook::caption)] = "";
static int captionAgeMs = 0;
static bool cardShown = false;

static const int captionMs = 2000;  // shown in all
static const int fadeMs = 500;       // of which the last part fades out
static const int fadeSteps = 20;     // alpha levels of the fade, each redrawn once

void showCaption(const char* line)
{
    std::size_t n = 0;
    while (line[n] && line[n] != '\n' && n + 1 < sizeof captionText) {
        captionText[n] = line[n];
        n++;
    }
    captionText[n] = '\0';
    captionAgeMs = 0;
}

void passSignTime(int ms)
{
    if (ms > 0 && captionAgeMs < captionMs)
        captionAgeMs = minI(captionAgeMs + minI(ms, captionMs), captionMs);
}

void toggleKeyCard() { cardShown = !cardShown; }
void closeKeyCard() { cardShown = false; }
bool keyCardShown() { return cardShown; }

void clearSigns()
{
    captionText[0] = '\0';
    captionAgeMs = captionMs;
    cardShown = false;
}

SignLook signLook()
{
    SignLook look;
    std::memset(&look, 0, sizeof look);
    // Full until the fade begins, then one step down every fadeMs / fadeSteps.
    const int left = captionMs - captionAgeMs;
    look.captionAlpha =
        captionText[0] ? minI((left * fadeSteps + fadeMs - 1) / fadeMs, fadeSteps) : 0;
    if (look.captionAlpha > 0)  // zero-padded, whatever an older, longer line left behind
        std::memcpy(look.caption, captionText, std::strlen(captionText));
    look.keyCard = cardShown;
    look.pauseSign = paused && !cardShown;  // the card says it all
    if (look.pauseSign)
        std::strncpy(look.resumeHint, resumeHint(), sizeof look.resumeHint - 1);
    return look;
}

bool sameSignLook(const SignLook& a, const SignLook& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// ---- drawing -------------------------------------------------------------------------

static void* const font = GLUT_STROKE_MONO_ROMAN;
static const double fontCapHeight = 100;  // font units from the baseline to a capital's top
static const double fontAdvance = 104.76;  // font units from one character to the next

static double pixelsPerUnit() { return ratioSize(windowHeight) / 4.0; }
static double halfWidth() { return 2.0 * windowAspect(); }

static double textWidth(const char* text, double capHeight)
{
    return static_cast<double>(std::strlen(text)) * fontAdvance * capHeight / fontCapHeight;
}

// The text in lines of the given width in pixels, its left end of the baseline at (x, y).
static void strokeText(const char* text, double x, double y, double capHeight, float width)
{
    glLineWidth(width);
    glPushMatrix();
    glTranslated(x, y, 0);
    const double scale = capHeight / fontCapHeight;
    glScaled(scale, scale, 1);
    for (const char* c = text; *c; c++)
        glutStrokeCharacter(font, static_cast<unsigned char>(*c));
    glPopMatrix();
}

// A line of black lettering centred on x = 0, with a white rim that keeps it readable on
// the grey walls and in the fade to black: the same strokes drawn white, shifted a few
// pixels each way. Never smaller than legibleCap points where it fits, narrowed to fit a
// window taller than wide.
static const double legibleCap = 14;  // points (CSS pixels) from the baseline to a capital's top

static void signLine(const char* text, double baseline, double capHeight, float alpha)
{
    capHeight = maxD(capHeight, legibleCap * pixelsPerPoint() / pixelsPerUnit());
    const double fit = 0.94 * 2 * halfWidth() / textWidth(text, capHeight);
    if (fit < 1) {
        baseline += capHeight * (1 - fit) / 2;
        capHeight *= fit;
    }
    const double capPixels = capHeight * pixelsPerUnit();
    const float stroke = static_cast<float>(maxD(1.0, capPixels / 8));
    const double rim = maxD(1.5, capPixels / 14) / pixelsPerUnit();
    const double left = -textWidth(text, capHeight) / 2;
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    for (int dx = -1; dx <= 1; dx++)
        for (int dy = -1; dy <= 1; dy++)
            if (dx || dy)
                strokeText(text, left + dx * rim, baseline + dy * rim, capHeight, stroke);
    glColor4f(0.0f, 0.0f, 0.0f, alpha);
    strokeText(text, left, baseline, capHeight, stroke);
}

// The controls, one row each: the input, and what it does.
struct CardRow {
    const char* input;
    const char* action;
};

static const CardRow cardRows[] = {
    {"", "KEYS"},
    {"mouse", "moves your paddle"},
    {"left button", "serves"},
    {"right button", "pause / resume"},
    {"P", "pause / resume"},
    {"-  =", "level down / up"},
    {"5 4 6 2 8", "camera: behind, left,"},
    {"", "right, below, above"},
    {"C", "curving on / off"},
    {"M", "sound on / off"},
    {"V", "flat / perspective"},
    {"R", "reset the rally"},
    {"Q", "quit"},
    {"F11", "full screen"},
    {"F1 or Esc", "close this card"},
};
static const int cardRowCount = sizeof cardRows / sizeof cardRows[0];
static const int inputColumn = 13;  // characters
static const int cardColumns = inputColumn + 22;
static const double cardCap = 0.085, cardPitch = 0.175, cardPadding = 0.12;  // heads-up units
static const double cardTop = 1.25;  // under a caption, and clear of the heads-up display

static void drawKeyCard()
{
    double cap = cardCap, pitch = cardPitch, padding = cardPadding;
    const double wanted = cardColumns * fontAdvance * cap / fontCapHeight + 2 * padding;
    const double fit = 0.96 * 2 * halfWidth() / wanted;
    if (fit < 1) {
        cap *= fit;
        pitch *= fit;
        padding *= fit;
    }
    const double halfCard = (cardColumns * fontAdvance * cap / fontCapHeight) / 2 + padding;
    const double bottom = cardTop - cardRowCount * pitch - 2 * padding + (pitch - cap);
    const float stroke = static_cast<float>(maxD(1.0, cap * pixelsPerUnit() / 9));

    // A white card, nearly opaque, with a black edge: the heads-up display's own look.
    glColor4f(1.0f, 1.0f, 1.0f, 0.93f);
    glBegin(GL_QUADS);
    glVertex2d(-halfCard, bottom);
    glVertex2d(halfCard, bottom);
    glVertex2d(halfCard, cardTop);
    glVertex2d(-halfCard, cardTop);
    glEnd();
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glLineWidth(static_cast<float>(maxD(1.0, pixelsPerUnit() / 125)));
    glBegin(GL_LINE_LOOP);
    glVertex2d(-halfCard, bottom);
    glVertex2d(halfCard, bottom);
    glVertex2d(halfCard, cardTop);
    glVertex2d(-halfCard, cardTop);
    glEnd();

    const double left = -halfCard + padding;
    const double column = inputColumn * fontAdvance * cap / fontCapHeight;
    for (int i = 0; i < cardRowCount; i++) {
        const double baseline = cardTop - padding - cap - i * pitch;
        strokeText(cardRows[i].input, left, baseline, cap, stroke);
        strokeText(cardRows[i].action, left + column, baseline, cap, stroke);
    }
}

// Heads-up units. The caption sits under the top row of the heads-up display, over the
// court's ceiling; the pause sign across the middle, where the eye already is.
static const double captionBaseline = 1.33, captionCap = 0.2;
static const double pausedBaseline = 0.1, pausedCap = 0.32;
static const double resumeBaseline = -0.24, resumeCap = 0.12;

void drawSigns()
{
    const SignLook look = signLook();
    if (!look.captionAlpha && !look.pauseSign && !look.keyCard)
        return;  // not a single GL call: the picture stays exactly as the frame drew it

    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST), blend = glIsEnabled(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-halfWidth(), halfWidth(), -2.0, 2.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    if (look.keyCard)
        drawKeyCard();
    if (look.pauseSign) {
        signLine("PAUSED", pausedBaseline, pausedCap, 1.0f);
        signLine(look.resumeHint, resumeBaseline, resumeCap, 1.0f);
    }
    if (look.captionAlpha)
        signLine(look.caption, captionBaseline, captionCap,
                 static_cast<float>(look.captionAlpha) / fadeSteps);

    glLineWidth(1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
    if (!blend)
        glDisable(GL_BLEND);
}
