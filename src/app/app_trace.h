// Timing trace for measurements (LUMORA_TRACE=1): the process id at start,
// the time from entry to the first presented frame, and at exit the longest
// time one frame kept the loop busy (wall and main-thread CPU, which tells
// the loop's own work apart from waiting on a crowded machine). Silent unless enabled.
#pragma once

// Notes the entry time; call first thing in main.
void app_trace_start();
// A start-up step finished: prints the time since entry.
void app_trace_mark(const char* what);
// CPU seconds used so far by the calling thread.
double app_trace_thread_cpu();
// After each frame: how long the frame's work took (the idle wait excluded),
// in wall time and in the main thread's CPU time.
void app_trace_frame(double work_sec, double cpu_sec);
// At exit: the summary line.
void app_trace_report();
