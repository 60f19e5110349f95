#include "ui/adapters/status_bar.h"
