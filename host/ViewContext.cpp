#include "host/ViewContext.h"
