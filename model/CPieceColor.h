#pragma once

#include "model/Types.h"

#include <memory>
#include <string>

// A piece colour: "White" or "Black".
class CPieceColor {
public:
    // Trims the text; anything but exactly "White" or "Black" becomes "White".
    void strColor(const std::string& text);
    // The colour text.
    const std::string& strColor() const { return m_color; }

    // The shared white colour.
    static const std::shared_ptr<CPieceColor>& objWHITE();
    // The shared black colour.
    static const std::shared_ptr<CPieceColor>& objBLACK();

    // Black for White, White for anything else.
    const std::shared_ptr<CPieceColor>& objOppositeColor() const;
    // The colour text.
    std::string strToString() const { return m_color; }

    // True when the text is "White" (kept in step with the text).
    bool isWhite() const { return m_white; }
    // 0 for White, 1 for Black: the slot of per-colour pairs.
    int intIndex() const { return m_white ? 0 : 1; }

private:
    std::string m_color = "White";
    bool m_white = true;
};
