#include "host/script/ObjectHandle.h"
