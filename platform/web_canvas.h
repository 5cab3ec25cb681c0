// web_canvas.h - the canvas's drawing buffer in the browser, in the screen's own pixels.
//
// The page lays the canvas out in CSS pixels; a dense screen (devicePixelRatio 2 or 3) has
// more device pixels than that, and a buffer of the CSS size would be stretched and soft. So
// the buffer is the canvas's size on the screen in device pixels, capped at what the GPU can
// draw into, and follows it when the page is resized, zoomed or put in full screen: the window
// layer asks FollowCanvasSize() whenever its queue runs dry, and sends WM_SIZE when it moved,
// so the shell places the 4:3 picture in it as the desktop's full screen does.
#pragma once

struct CanvasSize {
    int width, height;
};

// The drawing buffer's size now: the client area the shell draws into.
CanvasSize CurrentCanvasSize();
// Gives the buffer the canvas's size in device pixels; true when that changed it (the picture
// on the canvas is then gone until the next frame).
bool FollowCanvasSize();
