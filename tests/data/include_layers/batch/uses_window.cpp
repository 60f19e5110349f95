#include "batch/batch_driver.h"
#include "ui/app/app.h"
