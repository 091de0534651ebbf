#include "model/CPieceColor.h"

#include "model/Constructors.h"
#include "model/Utilities.h"

void CPieceColor::strColor(const std::string& text) {
    const std::string trimmed = strTrimmed(text, " ");
    m_color = (trimmed == "White" || trimmed == "Black") ? trimmed : "White";
    m_white = m_color == "White";
}

const std::shared_ptr<CPieceColor>& CPieceColor::objWHITE() {
    static const std::shared_ptr<CPieceColor> color = objNewPieceColor("White");
    return color;
}

const std::shared_ptr<CPieceColor>& CPieceColor::objBLACK() {
    static const std::shared_ptr<CPieceColor> color = objNewPieceColor("Black");
    return color;
}

const std::shared_ptr<CPieceColor>& CPieceColor::objOppositeColor() const {
    return m_color == "White" ? objBLACK() : objWHITE();
}
