#include <png.h>
#include <sys/types.h>
#include <bytes/le_bytes.h>
#include <engine/base/view_core.h>
