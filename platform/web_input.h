// web_input.h - what the canvas takes from a browser besides the mouse and Escape.
//
// Touch: a two-finger tap (both fingers down and up again within half a second, neither
// moving far) is the right mouse button, the one thing the show lets its viewer do; the
// browser scrolls, zooms and selects nothing on the canvas. (The first touchend lets the page
// make sound, as Safari wants it: the audio library listens for it, gaudio_web.cpp.) Focus: the canvas takes the
// keyboard when the window is focused and when it is clicked, so Escape reaches the show when
// the page sits in another page's frame, and the keys that scroll a page are the show's.
//
//     WatchCanvasInput(OnTwoFingerTap);   // once the window exists
//     FocusCanvas();                      // the window's SetFocus
#pragma once

// Starts listening; `twoFingerTap` is called from the browser's touchend handler.
void WatchCanvasInput(void (*twoFingerTap)());
void FocusCanvas();
