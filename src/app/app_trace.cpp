#include "app/app_trace.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

struct Trace {
    bool on = false;
    Clock::time_point t0;
    long frames = 0;
    double longest = 0.0;
    long longest_at = 0;
    double longest_cpu = 0.0;
    long longest_cpu_at = 0;
};

Trace g_trace;

double cpu_ms() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

}  // namespace

void app_trace_start() {
    const char* v = std::getenv("LUMORA_TRACE");
    g_trace.on = v && *v && *v != '0';
    g_trace.t0 = Clock::now();
    if (g_trace.on) std::fprintf(stderr, "trace: pid %d\n", int(getpid()));
}

void app_trace_mark(const char* what) {
    if (!g_trace.on) return;
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - g_trace.t0).count();
    std::fprintf(stderr, "trace: %s at %.1f ms (process CPU %.1f ms)\n", what, ms, cpu_ms());
}

double app_trace_thread_cpu() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void app_trace_frame(double work_sec, double cpu_sec) {
    if (!g_trace.on) return;
    if (++g_trace.frames == 1) {
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - g_trace.t0).count();
        std::fprintf(stderr, "trace: first frame %.1f ms (process CPU %.1f ms)\n", ms, cpu_ms());
        return;  // the first frame builds the font atlas; it is counted above
    }
    if (work_sec > 0.05)
        std::fprintf(stderr, "trace: slow frame %ld: %.1f ms (main thread CPU %.1f ms)\n",
                     g_trace.frames, work_sec * 1000.0, cpu_sec * 1000.0);
    if (cpu_sec > g_trace.longest_cpu) {
        g_trace.longest_cpu = cpu_sec;
        g_trace.longest_cpu_at = g_trace.frames;
    }
    if (work_sec > g_trace.longest) {
        g_trace.longest = work_sec;
        g_trace.longest_at = g_trace.frames;
    }
}

void app_trace_report() {
    if (!g_trace.on) return;
    std::fprintf(stderr, "trace: longest frame %.1f ms (frame %ld of %ld)\n",
                 g_trace.longest * 1000.0, g_trace.longest_at, g_trace.frames);
    std::fprintf(stderr, "trace: longest frame CPU %.1f ms (frame %ld)\n",
                 g_trace.longest_cpu * 1000.0, g_trace.longest_cpu_at);
}
