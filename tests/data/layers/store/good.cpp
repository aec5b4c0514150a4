#include "model/pen.h"
#include "store/other.h"
#include <QtCore/QList>
