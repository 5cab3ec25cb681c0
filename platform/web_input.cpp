// Touch and focus on the canvas (web_input.h).
#include "platform/web_input.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>

#include "platform/web_page.h"

// clang-format off
EM_JS(void, PageFocusCanvas, (), { Module.canvas.focus({preventScroll: true}); });
// A click gives the canvas the keyboard back; the keys that would scroll the page, or the page
// that holds it in a frame, do nothing while it has it.
EM_JS(void, PageGuardCanvasKeys, (), {
    const canvas = Module.canvas;
    const scrolling = new Set([' ', 'Spacebar', 'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'Up', 'Down',
                               'Left', 'Right', 'PageUp', 'PageDown', 'Home', 'End']);
    canvas.addEventListener('pointerdown', () => canvas.focus({preventScroll: true}));
    canvas.addEventListener('keydown', event => { if (scrolling.has(event.key)) event.preventDefault(); });
});
// clang-format on

namespace {

constexpr double TAP_MILLISECONDS = 500;
constexpr long TAP_TRAVEL = 30;  // CSS pixels a finger may move and still tap
constexpr int TAP_FINGERS = 2;

struct Finger {
    long id, x, y;  // where it came down
};

struct Gesture {
    double startedAt = 0;
    int fingers = 0;  // the most that were down at once
    bool moved = false;
    Finger down[TAP_FINGERS] = {};
    int tracked = 0;
};

Gesture gesture;
void (*onTwoFingerTap)() = nullptr;

int FingersDown(const EmscriptenTouchEvent* event, bool ending) {
    int down = 0;
    for (int i = 0; i < event->numTouches; ++i)
        if (!(ending && event->touches[i].isChanged)) ++down;
    return down;
}

const Finger* TrackedFinger(long id) {
    for (int i = 0; i < gesture.tracked; ++i)
        if (gesture.down[i].id == id) return &gesture.down[i];
    return nullptr;
}

EM_BOOL OnTouchStart(int, const EmscriptenTouchEvent* event, void*) {
    if (gesture.fingers == 0) gesture = {event->timestamp, 0, false, {}, 0};
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& touch = event->touches[i];
        if (touch.isChanged && gesture.tracked < TAP_FINGERS)
            gesture.down[gesture.tracked++] = {touch.identifier, touch.clientX, touch.clientY};
    }
    const int down = FingersDown(event, false);
    if (down > gesture.fingers) gesture.fingers = down;
    return EM_TRUE;  // no scrolling, zooming or emulated mouse events on the picture
}

EM_BOOL OnTouchMove(int, const EmscriptenTouchEvent* event, void*) {
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& touch = event->touches[i];
        const Finger* finger = TrackedFinger(touch.identifier);
        if (finger &&
            (std::labs(touch.clientX - finger->x) > TAP_TRAVEL || std::labs(touch.clientY - finger->y) > TAP_TRAVEL))
            gesture.moved = true;
    }
    return EM_TRUE;
}

EM_BOOL OnTouchEnd(int eventType, const EmscriptenTouchEvent* event, void*) {
    if (FingersDown(event, true) > 0) return EM_TRUE;
    const bool tapped = eventType == EMSCRIPTEN_EVENT_TOUCHEND && gesture.fingers == TAP_FINGERS && !gesture.moved &&
                        event->timestamp - gesture.startedAt <= TAP_MILLISECONDS;
    gesture.fingers = 0;
    if (tapped && onTwoFingerTap) onTwoFingerTap();
    return EM_TRUE;
}

}  // namespace

void WatchCanvasInput(void (*twoFingerTap)()) {
    onTwoFingerTap = twoFingerTap;
    emscripten_set_touchstart_callback(CANVAS_SELECTOR, nullptr, EM_FALSE, OnTouchStart);
    emscripten_set_touchmove_callback(CANVAS_SELECTOR, nullptr, EM_FALSE, OnTouchMove);
    emscripten_set_touchend_callback(CANVAS_SELECTOR, nullptr, EM_FALSE, OnTouchEnd);
    emscripten_set_touchcancel_callback(CANVAS_SELECTOR, nullptr, EM_FALSE, OnTouchEnd);
    PageGuardCanvasKeys();
}

void FocusCanvas() { PageFocusCanvas(); }
