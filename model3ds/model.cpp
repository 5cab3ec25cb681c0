// The model's records and their release; the model data grows here. For now there is no
// geometry to free.
#include "model3ds/model.h"

void ReleaseModel() {}
