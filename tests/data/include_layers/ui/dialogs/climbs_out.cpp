#include "bytes/../ui/view/view.h"
#include <bytes/../ui/app/app.h>
