#include "app/CAppearance.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <optional>

namespace {

// What the desktop gave the program before any choice was applied.
struct SystemLook {
    QPalette palette;
    QString style;
};

std::optional<SystemLook>& systemLook() {
    static std::optional<SystemLook> look;
    return look;
}

QString& applied() {
    static QString choice = "System";
    return choice;
}

} // namespace

QStringList CAppearance::arrChoices() {
    return {"System", "Light", "Dark"};
}

bool CAppearance::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

QPalette CAppearance::objDarkPalette() {
    QPalette p;
    const QColor window(0x2b, 0x2d, 0x31);
    const QColor base(0x1e, 0x1f, 0x22);
    const QColor text(0xe6, 0xe6, 0xe6);
    const QColor disabled(0x80, 0x80, 0x80);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3d, 0x42));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(0xff, 0x6b, 0x6b));
    p.setColor(QPalette::Light, QColor(0x4a, 0x4d, 0x52));
    p.setColor(QPalette::Midlight, QColor(0x3f, 0x42, 0x47));
    p.setColor(QPalette::Mid, QColor(0x9a, 0x9d, 0xa3));
    p.setColor(QPalette::Dark, QColor(0x18, 0x19, 0x1b));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x7a, 0xb4, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xb4, 0x9a, 0xff));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

void CAppearance::Apply(const QString& choice) {
    if (!qApp) return;
    // Until a choice is applied the desktop's palette is left alone, so that it follows the
    // desktop when that changes.
    const bool own = choice == "Dark" || choice == "Light";
    if (!own && applied() == "System") return;
    if (!systemLook())
        systemLook() = SystemLook{QApplication::palette(), QApplication::style()->name()};
    const SystemLook& system = *systemLook();
    if (own) {
        // Fusion draws every widget from the palette, so both choices look alike everywhere.
        if (QApplication::style()->name().compare("fusion", Qt::CaseInsensitive) != 0)
            QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(choice == "Dark" ? objDarkPalette()
                                                  : QApplication::style()->standardPalette());
        applied() = choice;
        return;
    }
    if (QApplication::style()->name() != system.style)
        QApplication::setStyle(QStyleFactory::create(system.style));
    QApplication::setPalette(system.palette);
    applied() = "System";
}

QString CAppearance::strApplied() {
    return applied();
}
