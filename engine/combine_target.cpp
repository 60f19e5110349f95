#include "engine/view_core.h"

// Placeholder until the combining pass lands.
void CvorbelViewCore::CombineTarget() {}
