// timeline.h - the frame sequencer. DrawFrame() draws and presents one frame; the message
// loop calls it whenever no message waits. Its result is the buffer swap's.
#pragma once

int DrawFrame();
