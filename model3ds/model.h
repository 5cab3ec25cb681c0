// model.h - the demo's one 3DS model. ReleaseModel() frees the model's geometry when the
// message loop ends.
#pragma once

void ReleaseModel();
