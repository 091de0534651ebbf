#pragma once

#include <QIcon>

// The program's icon, drawn from its SVG picture, with a plain drawn fallback.
class CAppIcon {
public:
    // The icon (one shared instance made on first use).
    static const QIcon& objIcon();
};
