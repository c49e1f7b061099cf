// Measures the processor time that one real 4 s pause of the editor costs while the
// application's event loop runs. Not a test: run it by hand and read the figure.
#include "EventLoopPause.h"
#include "NumericEntry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 4.0;
    zelmar::EventLoopPause pause;
    QTimer::singleShot(0, &app, [&] {
        const double cpu0 = cpuSeconds();
        const std::clock_t clock0 = std::clock();
        QElapsedTimer wall;
        wall.start();
        zelmar::timeDELAY(&pause, seconds);
        const double elapsed = double(wall.nsecsElapsed()) / 1e9;
        const double cpu = cpuSeconds() - cpu0;
        const double clockCpu = double(std::clock() - clock0) / CLOCKS_PER_SEC;
        std::printf("pause asked: %.3f s\nwall time:   %.4f s\n", seconds, elapsed);
        std::printf("CPU (getrusage user+sys): %.6f s = %.4f %% of one core\n", cpu, 100.0 * cpu / elapsed);
        std::printf("CPU (std::clock):         %.6f s = %.4f %% of one core\n", clockCpu,
                    100.0 * clockCpu / elapsed);
        QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}
