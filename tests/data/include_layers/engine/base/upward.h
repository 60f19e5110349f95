#pragma once
#include "sources/document.h"
