// web_page.h - what the layer offers only in a web browser, beside platform.h.
//
// In the browser the page is the window: the canvas is the client area, laid out by the page
// at 4:3 and drawn in device pixels (web_canvas.h), the page's dialogs are the message boxes,
// and SwapBuffers hands control back to the browser until its next animation frame.
#pragma once

// The page's canvas (web/index.html), the client area every part of the layer draws and listens on.
constexpr const char* CANVAS_SELECTOR = "#canvas";

// After the next frame has been presented the show holds it: the page's <body> gets
// data-frame="frameNumber" and SwapBuffers never returns, so nothing is drawn over it.
void HoldPictureAfterNextFrame(int frameNumber);
