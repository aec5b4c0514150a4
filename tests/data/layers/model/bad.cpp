#include "model/pen.h"
#include "store/penstore.h"
