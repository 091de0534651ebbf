#include "model/CPieceColor.h"

#include "model/Constructors.h"

void CPieceColor::strColor(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    const std::string trimmed =
        first == std::string::npos ? "" : text.substr(first, last - first + 1);
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
