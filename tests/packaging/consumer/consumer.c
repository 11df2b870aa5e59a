/* An outside program built against the installed Penlynx (its header and
 * library only, in plain C): it registers with a simulated class, waits for
 * keys and pen points, draws a stroke into its own bitmap and stops the
 * library. Exit 0 when all of that worked. */
#define _POSIX_C_SOURCE 200809L /* nanosleep */

#include <penlynx.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h> /* Sleep, and the device context of the drawing check */
#endif

#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

/* Windows builds of this program come from the zip's folders. */
static void Pause50ms(void) {
#ifdef _WIN32
    Sleep(50);
#else
    const struct timespec slice = {0, 50 * 1000 * 1000};
    nanosleep(&slice, NULL);
#endif
}

static atomic_int keys, points, receiving;

static void PENLYNX_CALL OnTablet(uint16_t first, uint16_t second, uint16_t tabletId,
                                  int32_t eventType) {
    (void)first;
    (void)second;
    (void)tabletId;
    if (eventType == EVENT_KEY) {
        atomic_fetch_add(&keys, 1);
    } else if (eventType == EVENT_PEN_DOWN) {
        atomic_fetch_add(&points, 1);
    }
}

static void PENLYNX_CALL OnState(int32_t state, int32_t extentX, int32_t extentY) {
    if (state == STATE_RECEIVING && extentX == PENLYNX_EXTENT_X && extentY == PENLYNX_EXTENT_Y) {
        atomic_store(&receiving, 1);
    }
}

static int Fail(const char *what) {
    fprintf(stderr, "consumer: %s\n", what);
    SDKClear();
    return 1;
}

int main(void) {
    enum { kWidth = 64, kHeight = 48 };

    if (SDKIni(kWidth, kHeight) != 1) {
        return Fail("SDKIni failed");
    }
    if (SDKGetID() != PENLYNX_SEARCH_FOUND) {
        return Fail("no receiver found (PENLYNX_RECEIVER=sim expected)");
    }
    if (SDKRegCallBack(OnTablet, OnState) != 2) {
        return Fail("the reader thread did not start");
    }
    /* The reader searches after a second; give the class ten. */
    for (int waited = 0; waited < 200; ++waited) {
        if (atomic_load(&keys) > 0 && atomic_load(&points) > 0) {
            break;
        }
        Pause50ms();
    }
#ifndef _WIN32
    static uint32_t pixels[kWidth * kHeight];
    int inked = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        pixels[i] = 0xFFFFFFFFu;
    }
    PenlynxSurface surface = {pixels, kWidth, kHeight, kWidth * 4};
    if (SDKDraw(0, &surface, 8, 8, 1) != 1 || SDKDraw(0, &surface, 56, 40, 2) != 1 ||
        SDKDraw(PENLYNX_SLOTS, &surface, 8, 8, 1) != 0) {
        return Fail("SDKDraw answered wrongly");
    }
    for (int i = 0; i < kWidth * kHeight; ++i) {
        inked += (pixels[i] & 0xFFFFFFu) != 0xFFFFFFu;
    }
    if (inked < 40) {
        return Fail("the stroke left no ink");
    }
#else
    /* Device contexts are the Windows checks' business; here only the
     * answers of the import library's binding. */
    if (SDKDraw(0, NULL, 8, 8, 1) != 1 || SDKDraw(PENLYNX_SLOTS, NULL, 8, 8, 1) != 0) {
        return Fail("SDKDraw answered wrongly");
    }
#endif
    const int keysSeen = atomic_load(&keys), pointsSeen = atomic_load(&points);
    if (SDKClear() != 1) {
        return Fail("SDKClear failed");
    }
    printf("consumer: %d keys, %d pen points\n", keysSeen, pointsSeen);
    if (keysSeen == 0 || pointsSeen == 0 || !atomic_load(&receiving)) {
        fprintf(stderr, "consumer: the simulated class was not heard\n");
        return 1;
    }
    return 0;
}
