#include "ui/view/view.h"
