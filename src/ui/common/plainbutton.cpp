#include "plainbutton.h"

#include "interfacecolours.h"

namespace tessaro {

PlainButton::PlainButton(const QString& text, QWidget* parent)
    : CapsuleButton(text, parent) {}

CapsuleButton::Look PlainButton::look() const {
    return {13, FontDesign::standard, QFont::Normal, 6, 3};
}

QColor PlainButton::labelColour() const {
    return interfaceColour(interfacePalette().textMain);
}

} // namespace tessaro
