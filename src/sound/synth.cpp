// The game's sounds, made at start-up from a table of notes: sine tones with a touch of
// frequency modulation for colour, a quick attack and an exponential decay, so that they
// stay soft however often they are heard, and no louder than a quarter of full scale, so
// that four overlapping ones cannot clip.
#include <cmath>

#include "sound/sound.h"

struct SoundNote {
    float start;    // seconds from the sound's start
    float length;   // seconds
    float hz;       // pitch at the start
    float endHz;    // pitch at the end (a glide when it differs)
    float level;    // relative to the other notes of the sound
    float fmRatio;  // modulator pitch / note pitch
    float fmIndex;  // modulation depth at the attack; it decays with the note
};

struct SoundRecipe {
    int count;
    SoundNote notes[4];
};

// Musical pitches, Hz.
const float c4 = 261.63f, eFlat4 = 311.13f, g4 = 392.0f, c5 = 523.25f, e5 = 659.26f,
            g5 = 783.99f, b5 = 987.77f, c6 = 1046.5f, d6 = 1174.66f, g6 = 1567.98f;

// One recipe per event kind, in the order of GameEventKind. Strokes are short woody knocks
// (the player's higher than the opponent's), a spin adds a rising swish, points and
// levels are small tunes: rising for good news, falling for bad.
static const SoundRecipe recipes[gameEventKinds] = {
    {2, {{0, 0.16f, 660, 640, 1, 2.0f, 1.2f}, {0, 0.08f, 1320, 1320, 0.3f, 1, 0}}},  // serve
    {1, {{0, 0.2f, 440, 420, 1, 1.5f, 2.5f}}},                                    // player
    {1, {{0, 0.14f, 700, 1500, 0.7f, 3.0f, 0.6f}}},                               // spin
    {1, {{0, 0.22f, 330, 315, 1, 1.5f, 2.5f}}},                                   // opponent
    {1, {{0, 0.09f, 210, 110, 1, 1.41f, 3.0f}}},                                  // wall
    {2, {{0, 0.2f, c5, c5, 1, 2, 0.5f}, {0.11f, 0.35f, g5, g5, 1, 2, 0.5f}}},      // won
    {2, {{0, 0.22f, g4, g4, 1, 1, 0.8f}, {0.14f, 0.4f, eFlat4, eFlat4, 1, 1, 0.8f}}},  // lost
    {4, {{0, 0.6f, c5, c5, 1, 2, 0.4f}, {0.08f, 0.55f, e5, e5, 0.9f, 2, 0.4f},
         {0.16f, 0.5f, g5, g5, 0.8f, 2, 0.4f}, {0.24f, 0.6f, c6, c6, 0.8f, 2, 0.4f}}},  // level
    {4, {{0, 0.25f, g5, g5, 1, 3.5f, 1.5f}, {0.05f, 0.25f, b5, b5, 1, 3.5f, 1.5f},
         {0.1f, 0.25f, d6, d6, 1, 3.5f, 1.5f}, {0.15f, 0.4f, g6, g6, 1, 3.5f, 1.5f}}},  // life
    {3, {{0, 0.5f, g4, g4, 1, 1, 0.8f}, {0.35f, 0.5f, eFlat4, eFlat4, 1, 1, 0.8f},
         {0.7f, 1.2f, c4, c4, 1.2f, 1, 0.8f}}},                                    // game over
    {2, {{0, 0.3f, c5, c5, 1, 2, 0.5f}, {0.1f, 0.5f, g5, g5, 1, 2, 0.5f}}},        // new game
};

const double attackSeconds = 0.004;  // long enough not to click, short enough to knock
const double releaseSeconds = 0.005; // the last moments of a note fade to nothing
const double tailSeconds = 0.03;     // silence after the sound, so a device paused when it
                                     // ends has already played all that is heard
const double peakLevel = 0.25;       // of full scale

static double envelope(double t, double length)
{
    const double rise = t < attackSeconds ? t / attackSeconds : 1.0;
    const double fall = length - t < releaseSeconds ? (length - t) / releaseSeconds : 1.0;
    return rise * fall * std::exp(-4.0 * t / length);
}

// Adds one note into the samples, from its start.
static void addNote(const SoundNote& note, std::vector<double>& out)
{
    const int first = static_cast<int>(note.start * soundRate);
    const int count = static_cast<int>(note.length * soundRate);
    double phase = 0;  // radians, summed so that a glide stays continuous
    for (int i = 0; i < count && first + i < static_cast<int>(out.size()); ++i) {
        const double t = static_cast<double>(i) / soundRate;
        const double hz = note.hz + (note.endHz - note.hz) * t / note.length;
        const double e = envelope(t, note.length);
        phase += 2 * M_PI * hz / soundRate;
        out[first + i] += note.level * e * std::sin(phase + note.fmIndex * e * std::sin(note.fmRatio * phase));
    }
}

std::vector<short> synthesise(GameEventKind kind)
{
    const SoundRecipe& recipe = recipes[kind];
    double seconds = 0;
    for (int n = 0; n < recipe.count; ++n)
        seconds = std::fmax(seconds, static_cast<double>(recipe.notes[n].start) + recipe.notes[n].length);
    std::vector<double> mixed(static_cast<size_t>((seconds + tailSeconds) * soundRate), 0.0);
    for (int n = 0; n < recipe.count; ++n)
        addNote(recipe.notes[n], mixed);

    double peak = 1e-9;
    for (double v : mixed)
        peak = std::fmax(peak, std::fabs(v));
    std::vector<short> samples(mixed.size());
    for (size_t i = 0; i < mixed.size(); ++i)
        samples[i] = static_cast<short>(std::lround(mixed[i] / peak * peakLevel * 32767));
    return samples;
}
