/* Counts the frames a GL program presents, from outside it: preloaded, it wraps
 * glXSwapBuffers and writes "frames first_frame_time last_frame_time" (seconds of the
 * wall clock) to the file named by SWAP_COUNTER_FILE every 100 frames and at exit. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double firstFrame;
static double lastFrame;
static long frames;

static double wallSeconds(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void report(void) {
    const char* path = getenv("SWAP_COUNTER_FILE");
    if (path == NULL) return;
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.tmp", path);
    FILE* out = fopen(temporary, "w");
    if (out == NULL) return;
    fprintf(out, "%ld %.6f %.6f\n", frames, firstFrame, lastFrame);
    fclose(out);
    rename(temporary, path); /* readers never see a half-written line */
}

__attribute__((constructor)) static void start(void) {
    atexit(report);
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    if (real == NULL) {
        /* ISO C has no cast from an object pointer to a function pointer: copy the bits. */
        void* symbol = dlsym(RTLD_NEXT, "glXSwapBuffers");
        memcpy(&real, &symbol, sizeof real);
    }
    real(display, drawable);
    lastFrame = wallSeconds();
    if (frames == 0) firstFrame = lastFrame;
    ++frames;
    if (frames % 100 == 0) report();
}
