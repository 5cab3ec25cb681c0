// The model scene as the timeline tests see it: a stand-in that only logs its call.
#include "scenes/timeline.h"
#include "tests/scenes/show_doubles.h"

void DrawModelScene() { LogRoutineCall("DrawModelScene"); }
void StepModelScene() { LogRoutineCall("StepModelScene"); }
