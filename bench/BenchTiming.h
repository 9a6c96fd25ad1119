#pragma once
// Timing for the benchmarks: wall and thread CPU time, medians of several runs, and the load
// average that goes with the figures on a shared machine.

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <ctime>
#include <vector>

struct TTimes {
    double Wall = 0;
    double Cpu = 0;
};

inline double Seconds(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <typename F> TTimes Measure(F&& f) {
    const double wall = Seconds(CLOCK_MONOTONIC), cpu = Seconds(CLOCK_THREAD_CPUTIME_ID);
    f();
    return {Seconds(CLOCK_MONOTONIC) - wall, Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu};
}

// Medians of wall and CPU time taken separately; before() runs untimed before each run.
template <typename B, typename F> TTimes Median(int runs, B&& before, F&& f) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        before();
        TTimes t = Measure(f);
        wall.push_back(t.Wall);
        cpu.push_back(t.Cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// The machine is shared: its load average goes with the figures.
inline QByteArray LoadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').mid(0, 3).join(' ') : "?";
}
