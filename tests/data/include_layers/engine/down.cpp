#include "bytes/le_bytes.h"
#include "engine/upward.h"
#include "platform/ui_port.h"
