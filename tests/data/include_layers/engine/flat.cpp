#include "engine/base/view_core.h"
