#include "app/app_loop.h"
#include "app/app_trace.h"

int main() {
    app_trace_start();
    return music_app_run();
}
