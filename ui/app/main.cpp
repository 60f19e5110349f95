#include "ui/app/app.h"

wxIMPLEMENT_APP(CvorbelApp);
