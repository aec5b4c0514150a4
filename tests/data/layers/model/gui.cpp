#include <QtCore/QString>
#include <QtGui/QImage>
