#include "interfacefont.h"

#include <QApplication>

namespace tessaro {

QFont interfaceFont(int pixelSize, QFont::Weight weight, FontDesign design) {
    QFont font = QApplication::font();
    if (design == FontDesign::rounded)
        font.setFamilies({QStringLiteral("Quicksand"), font.family()});
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

} // namespace tessaro
