#include "bytes/../sources/document.h"
