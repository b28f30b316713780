#include "app/app_loop.h"

int main() { return music_app_run(); }
