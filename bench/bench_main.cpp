// The benchmarks' own main: a real freeglut window with the game's fixed GL state and the
// real level image, the benchmarks, then a table of each frame against the empty frame and
// of each drawing routine net of what every routine's measurement shares.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include "app/state.h"
#include "image/image.h"
#include "render/render.h"

namespace {

struct Figure {
    double wallMs, cpuMs;
};

double toMs(double t, benchmark::TimeUnit unit)
{
    switch (unit) {
    case benchmark::kNanosecond: return t / 1e6;
    case benchmark::kMicrosecond: return t / 1e3;
    case benchmark::kMillisecond: return t;
    default: return t * 1e3;  // seconds
    }
}

// Prints as the console reporter does and keeps each benchmark's time per iteration: the
// median when the run is repeated, the single run otherwise.
class FigureKeeper : public benchmark::ConsoleReporter {
public:
    std::map<std::string, Figure> figures;
    std::vector<std::string> order;  // names as they were first reported

    FigureKeeper() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (r.run_type == Run::RT_Aggregate && !median)
                continue;
            const std::string name = r.run_name.function_name;
            if (!figures.count(name))
                order.push_back(name);
            if (median || !medians.count(name))
                figures[name] = {toMs(r.GetAdjustedRealTime(), r.time_unit),
                                 toMs(r.GetAdjustedCPUTime(), r.time_unit)};
            if (median)
                medians[name] = true;
        }
    }

private:
    std::map<std::string, bool> medians;
};

void printFrameTable(const FigureKeeper& k)
{
    const std::map<std::string, Figure>& f = k.figures;
    const auto empty = f.find("frame/empty");
    if (empty == f.end())
        return;
    std::printf("\nWhole frames against the empty frame (clear and swap) of this run, "
                "%d x %d window\n", windowWidth, windowHeight);
    std::printf("%-26s %9s %9s %13s %13s\n", "", "wall ms", "CPU ms", "x empty wall",
                "x empty CPU");
    for (const std::string& name : k.order) {
        if (name.rfind("frame/", 0) != 0)
            continue;
        const Figure& fig = f.at(name);
        std::printf("%-26s %9.3f %9.3f %13.2f %13.2f\n", name.c_str(), fig.wallMs, fig.cpuMs,
                    fig.wallMs / empty->second.wallMs, fig.cpuMs / empty->second.cpuMs);
    }
}

void printPartTable(const FigureKeeper& k)
{
    const std::map<std::string, Figure>& f = k.figures;
    const auto base = f.find("part/baseline");
    if (base == f.end())
        return;
    std::printf("\nDrawing routines alone (rally at level 3, view 0 unless named), net of "
                "part/baseline\n(clear, camera, projection, lights and glFinish: %.3f ms "
                "wall, %.3f ms CPU)\n", base->second.wallMs, base->second.cpuMs);
    std::printf("%-30s %9s %9s %11s %11s\n", "", "wall ms", "CPU ms", "net wall", "net CPU");
    for (const std::string& name : k.order) {
        if (name.rfind("part/", 0) != 0 || name == "part/baseline")
            continue;
        const Figure& fig = f.at(name);
        std::printf("%-30s %9.3f %9.3f %11.3f %11.3f\n", name.c_str(), fig.wallMs, fig.cpuMs,
                    fig.wallMs - base->second.wallMs, fig.cpuMs - base->second.cpuMs);
    }
    const auto ball = f.find("part/drawBall");
    const auto opponent = f.find("part/drawOpponentPaddle");
    if (ball != f.end() && opponent != f.end())
        std::printf("%-30s %9s %9s %11.3f %11.3f\n", "  ball and shadow only", "", "",
                    ball->second.wallMs - opponent->second.wallMs,
                    ball->second.cpuMs - opponent->second.cpuMs);
}

void noDisplay() {}

}  // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // The window and fixed state that the game's entry sets up before its first frame.
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Volkrin benchmarks");
    glutDisplayFunc(noDisplay);  // the benchmarks draw by calling the routines themselves
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    resetGameState();
    ballQuadric = gluNewQuadric();
    livesQuadric = gluNewQuadric();
    pointsQuadric = gluNewQuadric();
    for (GLUquadric* q : {ballQuadric, livesQuadric, pointsQuadric}) {
        gluQuadricDrawStyle(q, GLU_FILL);
        gluQuadricNormals(q, GLU_SMOOTH);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    initLights();
    loadLevelTexture(VOLKRIN_LEVEL_BMP, 1);
    // Let the window be mapped and sized before anything is timed.
    for (int i = 0; i < 20; i++)
        glutMainLoopEvent();
    applyWindowSize(500, 500);

    FigureKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    printFrameTable(keeper);
    printPartTable(keeper);
    benchmark::Shutdown();
    return 0;
}
