#include </ui/view/view.h>
#include <./ui/app/app.h>
