/*
 * penlynx.h - the classroom receiver library.
 *
 * The library finds the USB receiver that collects the students' tablets,
 * reads its reports on a thread of its own, reports the receiver's state and
 * every tablet event through two callbacks, and draws smoothed, anti-aliased
 * ink into bitmaps that the caller owns.
 *
 * There is one instance per process. The caller makes every call from one
 * thread (normally its user-interface thread); the callbacks run on the
 * library's reader thread. Nothing allocated by the library is freed by the
 * caller, and nothing the caller hands in is kept beyond the call.
 *
 * A callback may call SDKClear or SDKIni; the instance is then released at
 * once for every other call (SDKDraw returns 0 from then on), no further
 * callback is made once the callback returns, and the instance's memory is
 * freed on the caller's thread at its next call. SDKClear and SDKIni called
 * on the caller's thread wait for a callback that is running to return, so a
 * callback must never wait for the thread that calls them: it would wait for
 * itself (a deadlock). Callbacks should return quickly and block on nothing.
 *
 * Typical use:
 *     SDKIni(paneWidth, paneHeight);
 *     if (SDKGetID() != PENLYNX_SEARCH_FOUND) { SDKClear(); return; }
 *     SDKRegCallBack(onTablet, onState);      // starts the reader thread
 *     ... SDKDraw(slot, surface, x, y, kind) for every pen point ...
 *     SDKClear();                             // stops the reader thread
 */
#ifndef PENLYNX_H
#define PENLYNX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention of the exports and callbacks: every argument and the
 * result occupy one 32-bit slot; __stdcall on 32-bit Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define PENLYNX_CALL __stdcall
#else
#define PENLYNX_CALL
#endif

#if defined(_WIN32)
#ifdef PENLYNX_BUILDING
#define PENLYNX_API __declspec(dllexport)
#else
#define PENLYNX_API __declspec(dllimport)
#endif
#else
#define PENLYNX_API __attribute__((visibility("default")))
#endif

/* Event types, the fourth argument of TabletEventCallback. */
#define EVENT_MARKER 0   /* position record of a marker (first, second: x, y) */
#define EVENT_PEN_DOWN 1 /* pen position while writing (x, y in tenths) */
#define EVENT_PEN_UP 2   /* pen lifted (x, y of the lift) */
#define EVENT_SIGNAL 3   /* the tablet's signal record (first = second = 256) */
#define EVENT_KEY 4      /* answer key (first: key code, second: 256) */

/* Receiver states, the first argument of DeviceStateCallback. */
#define STATE_DISCONNECTED 0 /* the open receiver was lost */
#define STATE_IDLE 1         /* receiver open; reported again every silent second */
#define STATE_RECEIVING 3    /* records are arriving */

/* Fixed extents of the tablet space, the last two DeviceStateCallback arguments. */
#define PENLYNX_EXTENT_X 2721
#define PENLYNX_EXTENT_Y 2860

/* Results of SDKGetID. */
#define PENLYNX_SEARCH_NO_LIST 1 /* the list of HID interfaces cannot be obtained */
#define PENLYNX_SEARCH_NO_PATH 2 /* an interface path cannot be read */
#define PENLYNX_SEARCH_NONE 3    /* no receiver found */
#define PENLYNX_SEARCH_FOUND 4   /* receiver found and open */

/* Highest drawing slot + 1: SDKDraw accepts slots 0 .. PENLYNX_SLOTS - 1. */
#define PENLYNX_SLOTS 100

/* Tablet event: first and second argument (see the event types), the tablet's
 * 16-bit ID, the event type. A coordinate that cannot be solved arrives as
 * 65535. Called on the reader thread, synchronously, in record order: a slow
 * callback delays the next read. */
typedef void(PENLYNX_CALL *TabletEventCallback)(uint16_t first, uint16_t second, uint16_t tabletId,
                                                int32_t eventType);

/* Receiver state change: one of the STATE_ codes and the two fixed extents.
 * Called on the reader thread. */
typedef void(PENLYNX_CALL *DeviceStateCallback)(int32_t state, int32_t extentX, int32_t extentY);

/* A caller-owned 32-bit bitmap: words 0xAARRGGBB (the memory layout of
 * QImage::Format_RGB32), `stride` bytes per row. Alpha is ignored on read and
 * written as 0xFF. Used only during the SDKDraw call it is given to.
 *
 * A surface that cannot be addressed safely draws nothing (the stroke still
 * advances): null pixels, a negative width or height, a negative stride, a
 * stride that is not a multiple of 4, or one shorter than a row (width * 4).
 * Rows are top first. Drawing is clipped to the smaller of the size given to
 * SDKIni and the surface's width and height. */
typedef struct PenlynxSurface {
    uint32_t *pixels;
    int32_t width;
    int32_t height;
    int32_t stride;
} PenlynxSurface;

/* What SDKDraw draws into: a device context on Windows, a PenlynxSurface
 * elsewhere. NULL draws nothing but still advances the stroke.
 *
 * On Windows this header does not include <windows.h> (whose macros would
 * reach every file of the caller): the device context is declared here as
 * the type <windows.h> gives HDC with STRICT, the default of every current
 * SDK and of mingw-w64 (struct HDC__ *), so an HDC is passed as it is. A
 * caller that defines NO_STRICT, where HDC is a plain HANDLE (void *), gets
 * void * here as well. */
#ifdef _WIN32
#ifdef NO_STRICT
typedef void *PenlynxTarget;
#else
struct HDC__;
typedef struct HDC__ *PenlynxTarget;
#endif
#else
typedef PenlynxSurface *PenlynxTarget;
#endif

/* Creates the instance for ink bitmaps of width x height pixels (a negative
 * width or height draws nothing). Opens and starts nothing. Returns 1 when the
 * instance exists afterwards, 0 when it cannot be allocated. If an instance
 * already exists, releases it as SDKClear does and returns 0; the next SDKIni
 * then creates a fresh one. */
PENLYNX_API int PENLYNX_CALL SDKIni(int width, int height);

/* Searches for the receiver on the caller's thread. Returns one of the
 * PENLYNX_SEARCH_ codes (never 0); 0 when no instance exists. While the reader
 * thread runs it searches nothing and returns PENLYNX_SEARCH_FOUND when that
 * thread has the receiver open, PENLYNX_SEARCH_NONE otherwise.
 *
 * The receiver backend is chosen by the environment variable
 * PENLYNX_RECEIVER at every search: unset, empty or "hid" the USB receiver;
 * "sim" or "sim:OPTIONS" a simulated classroom (OPTIONS: tablets=N, writing=N,
 * rate=N points per second, seed=N, separated by commas); "replay:PATH" a
 * receiver that plays a text file. PENLYNX_CAPTURE=PATH appends every report
 * the reader thread reads to PATH in the replay format. */
PENLYNX_API int PENLYNX_CALL SDKGetID(void);

/* Registers the callbacks and starts the reader thread. Returns 0 (and starts
 * nothing) when onTablet is NULL, or when onState is NULL (onTablet is then
 * stored); 1 when the reader thread cannot be started; 2 when the thread was
 * started; 0 when no instance exists. While a reader thread runs, every call
 * returns 1 and changes nothing: the callbacks stay those it was started with.
 *
 * The thread searches for the receiver after a 1000 ms pause and reports
 * STATE_IDLE once it is open, then again after every second without a report;
 * STATE_RECEIVING before the first record after that; STATE_DISCONNECTED once
 * when the receiver is lost, after which it searches every 1000 ms silently
 * until the receiver is back (STATE_IDLE). */
PENLYNX_API int PENLYNX_CALL SDKRegCallBack(TabletEventCallback onTablet,
                                            DeviceStateCallback onState);

/* Stops the reader thread and waits for it (a few milliseconds, or until a
 * running callback returns), closes the receiver, then releases the instance
 * with its renderers. No callback is made once it has returned. Called from
 * inside a callback, it returns at once: the callback that called it is the
 * last one, the reader thread closes the receiver as it ends, and the
 * instance is freed at the caller's next call. Returns 1, also when there is
 * no instance. */
PENLYNX_API int PENLYNX_CALL SDKClear(void);

/* Draws one pen point of drawing slot 0..99 into target: kind 1 begins a
 * stroke at pixel (x, y), kind 2 continues it to (x, y) (on a slot that never
 * began a stroke it begins one), any other kind draws nothing. Returns 1; 0
 * when the slot is outside 0..99 or no instance exists. */
PENLYNX_API int PENLYNX_CALL SDKDraw(int slot, PenlynxTarget target, int x, int y, int kind);

#ifdef __cplusplus
}
#endif

#endif /* PENLYNX_H */
