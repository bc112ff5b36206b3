// The game's sound recorded through OpenAL Soft's wave-file writer: the serve and each
// return heard while they happen, nothing after m or while paused; with no sound device
// the game plays on without a word, and tries again only when a sound is due; and through
// a sound server of the test's own, stopped and started again or started after the game:
// the strokes are heard again soon after it is back.
#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <iostream>

#include "harness.h"

namespace {

const char* const loadLine = "trying to load level.bmp\n";
const long waveHeader = 68;         // bytes before the writer's samples
const long frameBytes = 8;          // two channels of 32-bit floats
const long blockFrames = 441;       // 10 ms at 44.1 kHz: loudness is judged per block
const long slack = 4410;            // frames: the writer's period and a busy machine's delays

// Runs the game with its sound written to dir/game.wav (or, without a file named, with
// no device that can be opened).
std::vector<std::string> waveDevice(const std::string& dir, bool withFile)
{
    const std::string conf = withFile ? "[wave]\nfile = " + dir + "/game.wav\n" : "";
    writeFile(dir + "/wave.conf", std::vector<unsigned char>(conf.begin(), conf.end()));
    return {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + dir + "/wave.conf"};
}

// Frames written so far: the writer keeps pace with the clock.
long mark(const std::string& wav)
{
    struct stat s;
    return stat(wav.c_str(), &s) == 0 ? std::max(0L, (s.st_size - waveHeader) / frameBytes) : 0;
}

// The loudest sample of each block of the recording (stereo 32-bit floats after a header).
std::vector<float> blockPeaks(const std::string& wav, long header = waveHeader)
{
    const std::string bytes = readFile(wav);
    std::vector<float> peaks;
    for (size_t at = header; at + blockFrames * frameBytes <= bytes.size(); at += blockFrames * frameBytes) {
        float peak = 0, sample;
        for (long i = 0; i < blockFrames * 2; ++i) {
            memcpy(&sample, bytes.data() + at + 4 * i, 4);
            peak = std::fmax(peak, std::fabs(sample));
        }
        peaks.push_back(peak);
    }
    return peaks;
}

// Sounds that begin (a block above a quiet one) between two marks, and the loudest block.
int onsets(const std::vector<float>& peaks, long from, long to, float* loudest = nullptr)
{
    int count = 0;
    for (long b = std::max(from / blockFrames, 1L); b <= to / blockFrames && b < long(peaks.size()); ++b) {
        count += peaks[b] > 0.01f && peaks[b - 1] <= 0.01f;
        if (loudest)
            *loudest = std::fmax(*loudest, peaks[b]);
    }
    return count;
}

// Starts a shell command in the background, as its last program ("exec" in front), so
// that the pid returned is that program's.
pid_t spawn(const std::string& command)
{
    const std::string line = "exec " + command;
    const pid_t pid = fork();
    if (pid == 0) {
        closefrom(3);
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// A private PulseAudio server with one null sink, run as nobody when the tests run as root
// (it refuses root), and a recorder of what the sink plays. The recorder has a socket of
// its own, so that it runs before the game's socket (dir/native, no cookie asked) opens:
// the recording holds the moment the server became reachable for the game.
struct SoundServer {
    std::string dir = makeGameDir();
    pid_t server = -1, recorder = -1;
    std::string address(const char* socket = "native") const { return "unix:" + dir + "/" + socket; }
    ~SoundServer();
};

// The server started, its sink recorded to dir/name (raw stereo floats at 44.1 kHz), and
// then the game's socket opened: the frame of the recording at which it did, or -1.
long startServer(SoundServer& s, const std::string& name)
{
    const passwd* nobody = getuid() == 0 ? getpwnam("nobody") : nullptr;
    if (nobody && (chmod(s.dir.c_str(), 0755) != 0 || chown(s.dir.c_str(), nobody->pw_uid, nobody->pw_gid) != 0))
        return -1;
    const std::string log = " </dev/null 2>>" + s.dir + "/server.log", pactl = "pactl --server=" + s.address("record");
    s.server = spawn(std::string(nobody ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "") +
                     "env HOME=" + s.dir + " XDG_RUNTIME_DIR=" + s.dir + " pulseaudio -n --daemonize=no " +
                     "--exit-idle-time=-1 --use-pid-file=no --disable-shm=yes -L 'module-null-sink " +
                     "sink_name=game rate=44100' -L 'module-native-protocol-unix auth-anonymous=1 socket=" +
                     s.dir + "/record'" + log);
    if (!waitUntil([&] { return std::system((pactl + " info >/dev/null" + log).c_str()) == 0; }, 20))
        return -1;
    const std::string recording = s.dir + "/" + name;
    s.recorder = spawn("parec --server=" + s.address("record") + " --device=game.monitor --raw " +
                       "--format=float32le --channels=2 --rate=44100 --latency-msec=20 >" + recording + log);
    if (!waitUntil([&] { return mark(recording) > 0; }, 20))
        return -1;
    const long opened = mark(recording);  // a little before, never after
    const std::string load = pactl + " load-module module-native-protocol-unix auth-anonymous=1 socket=" + s.dir + "/native >/dev/null";
    return std::system((load + log).c_str()) == 0 ? opened : -1;
}

void stopServer(SoundServer& s)
{
    for (pid_t* pid : {&s.recorder, &s.server}) {
        if (*pid > 0 && kill(*pid, SIGTERM) == 0)
            waitExit(*pid, 20);
        *pid = -1;
    }
}

SoundServer::~SoundServer()
{
    stopServer(*this);
    if (!getenv("VOLKRIN_E2E_KEEP")) {
        EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);  // the server's own files too
    }
}

// Waits for the ball to go down the court and back: the opponent's and the player's return.
bool rally(GameRun& run, int roundTrips)
{
    for (int i = 0; i < roundTrips; ++i) {
        if (!waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -3.0); }, 20) ||
            !waitForFrame(run, [](const Frame& f) { return ballNearer(f, -1.0); }, 20))
            return false;
    }
    return true;
}

// Seconds from a frame of a recording to the first sound after it; -1 if none.
double firstSound(const std::vector<float>& peaks, long from)
{
    for (size_t b = from / blockFrames; b < peaks.size(); ++b) {
        if (peaks[b] > 0.01f)
            return double(std::max(long(b) * blockFrames - from, 0L)) / 44100;
    }
    return -1;
}

}  // namespace

TEST(Sound, ServeAndReturnsAreHeardAsTheyHappenUntilMutedOrPaused)
{
    const std::string recordings = makeGameDir(), wav = recordings + "/game.wav";
    GameRun run;
    run.environment = waveDevice(recordings, true);
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;

    // Down the centre line with the pointer still, the ball passes -3 (marks[1], [3]...)
    // before the opponent returns it, and -1 on its way back (marks[2], [4]...) before
    // the player does. Sound goes off at marks[4] and on again at marks[6].
    std::vector<long> marks = {mark(wav)};
    ASSERT_TRUE(serveBall(run));
    for (int passage = 0; passage < 8; ++passage) {
        const double z = passage % 2 ? -1.0 : -3.0;
        ASSERT_TRUE(waitForFrame(run, [&](const Frame& f) { return passage % 2 ? ballNearer(f, z) : ballBeyond(f, z); }, 20));
        marks.push_back(mark(wav));
        if (passage == 3 || passage == 5)
            typeKeys(run.display, "m");
    }
    typeKeys(run.display, "p");
    const long paused = mark(wav);
    clickButton(run.display, 1);  // serves nothing while paused
    ASSERT_TRUE(waitUntil([&] { return mark(wav) > paused + 20 * slack; }, 20));
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "SOUND OFF\nSOUND ON\n");
    EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");

    const std::vector<float> peaks = blockPeaks(wav);
    removeGameDir(recordings);
    float before = 0, nearPeak = 0, farPeak = 0, muted = 0, whilePaused = 0;
    EXPECT_EQ(onsets(peaks, 0, marks[0], &before), 0);
    EXPECT_EQ(onsets(peaks, marks[0], marks[1], &nearPeak), 1) << "the serve";
    EXPECT_EQ(onsets(peaks, marks[1], marks[2], &farPeak), 1) << "the opponent's return";
    EXPECT_EQ(onsets(peaks, marks[2], marks[3]), 1) << "the player's return";
    EXPECT_EQ(onsets(peaks, marks[3], marks[4]), 1) << "the opponent's return";
    EXPECT_EQ(onsets(peaks, marks[4] + slack, marks[6], &muted), 0) << "muted";
    EXPECT_EQ(onsets(peaks, marks[6], marks[7]), 1) << "the player's return, sound on again";
    EXPECT_EQ(onsets(peaks, marks[7], marks[8]), 1) << "the opponent's return";
    EXPECT_EQ(onsets(peaks, paused + 3 * slack, paused + 20 * slack, &whilePaused), 0) << "paused";
    EXPECT_EQ(before + muted + whilePaused, 0.0f);
    EXPECT_NEAR(farPeak / nearPeak, 0.5, 0.15);  // the far end about half as loud
}

TEST(Sound, WithoutADeviceTheGamePlaysSilentlyAndQuietly)
{
    const std::string conf = makeGameDir();
    GameRun run;
    run.environment = waveDevice(conf, false);
    for (const std::string& setting : standInDriver())
        run.environment.push_back(setting);
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    // At rest nothing is due, so nothing is tried however long it rests. (The stand-in counts
    // the opens of Linux's OpenAL; the Windows build's own library is out of its reach.)
    const bool counted = !gameOnWindows();
    waitUntil([] { return false; }, 4);
    EXPECT_TRUE(!counted || openCount(run) == 1);
    ASSERT_TRUE(serveBall(run));
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -3.0); }, 20));
    EXPECT_TRUE(!counted || waitUntil([&] { return openCount(run) == 2; }, 20)) << "a stroke was due";
    typeKeys(run.display, "m");
    const long muted = openCount(run);
    EXPECT_TRUE(rally(run, 3));  // muted: strokes, but none due to be heard
    EXPECT_EQ(openCount(run), muted);
    EXPECT_EQ(quitGame(run), 0);
    removeGameDir(conf);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "SOUND OFF\n");
    EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");
}

// A sound server of the test's own goes away mid-game and comes back, as a desktop's sound
// service does when it is restarted or crashes; or it starts after the game, as at a login
// (OpenAL Soft 1.19 then gives up its own way to the server for good, and the game reaches
// it through ALSA's plugin for it). Each time the strokes are heard again within 5 s.
TEST(Sound, HeardAgainSoonAfterTheSoundServerComesBackOrStartsLate)
{
    if (gameOnWindows())
        GTEST_SKIP() << "Linux's sound server: the Windows build under Wine has no sound driver";
    for (const bool serverFirst : {true, false}) {
        SCOPED_TRACE(serverFirst ? "server restarted" : "server started after the game");
        SoundServer server;
        std::vector<long> back;  // per recording after the first server: where it became reachable
        if (serverFirst) {
            ASSERT_GE(startServer(server, "first.raw"), 0) << readFile(server.dir + "/server.log");
        }
        GameRun run;
        run.environment = {"PULSE_SERVER=" + server.address()};
        std::string why;
        ASSERT_TRUE(launchGame(run, &why)) << why;
        ASSERT_TRUE(serveBall(run));
        ASSERT_TRUE(rally(run, 1));
        if (!serverFirst) {
            back.push_back(startServer(server, "0.raw"));
            ASSERT_TRUE(rally(run, 4));
        }
        stopServer(server);
        ASSERT_TRUE(rally(run, 1));  // strokes due while there is no server
        back.push_back(startServer(server, std::to_string(back.size()) + ".raw"));
        ASSERT_TRUE(rally(run, 4));
        EXPECT_EQ(quitGame(run), 0);
        EXPECT_EQ(gameOutput(run), loadLine);
        EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");

        for (size_t i = 0; i < back.size(); ++i) {
            ASSERT_GE(back[i], 0) << readFile(server.dir + "/server.log");
            const std::vector<float> peaks = blockPeaks(server.dir + "/" + std::to_string(i) + ".raw", 0);
            const double heard = firstSound(peaks, back[i]);
            std::cout << "first sound " << heard << " s after the server was reachable\n";
            EXPECT_GE(heard, 0.0) << "nothing heard, recording " << i;
            EXPECT_LT(heard, 5.0) << "recording " << i;
            EXPECT_EQ(onsets(peaks, 0, back[i]), 0) << "heard before the game could reach the server";
            EXPECT_GE(onsets(peaks, back[i], long(peaks.size()) * blockFrames), 4) << "the returns that followed";
        }
    }
}
