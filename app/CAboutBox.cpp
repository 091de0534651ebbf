#include "app/CAboutBox.h"

#include "app/CAppIcon.h"
#include "settings/CEngineSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>
#include <sqlite3.h>

QString CAboutBox::strVersion() {
    return QString("%1.%2.%3")
        .arg(BRISOLT_VERSION_MAJOR)
        .arg(BRISOLT_VERSION_MINOR)
        .arg(BRISOLT_VERSION_PATCH);
}

QString CAboutBox::strEngineFound() {
    const QString path = CEngineSettings::strEnginePath();
    if (path.isEmpty() || !QFileInfo(path).isExecutable()) return {};
    return CEngineSettings::strEngineName() + " (" + path + ")";
}

QString CAboutBox::strSystemInfo() {
    const QString engine = strEngineFound();
    QStringList lines;
    lines << "Brisolt " + strVersion();
    lines << "Operating system: " + QSysInfo::prettyProductName() + " (" + QSysInfo::kernelType() +
                 " " + QSysInfo::kernelVersion() + ", " + QSysInfo::currentCpuArchitecture() + ")";
    lines << QString("Qt: %1 (built with %2), platform %3")
                 .arg(qVersion(), QT_VERSION_STR, QGuiApplication::platformName());
    lines << QString("SQLite: %1").arg(sqlite3_libversion());
    lines << "Chess engine: " + (engine.isEmpty() ? QString("none found") : engine);
    return lines.join('\n');
}

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("aboutBox");
    setWindowTitle("About Brisolt");
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* icon = new QLabel(this);
    icon->setPixmap(CAppIcon::objIcon().pixmap(72, 72));
    icon->setAlignment(Qt::AlignTop);

    auto* title = new QLabel("<h2 style='margin:0'>Brisolt</h2>", this);
    auto* version = new QLabel("Version " + strVersion(), this);
    version->setObjectName("lblVersion");
    auto* description = new QLabel(
        "A chess trainer for players who work through exercise books. Brisolt shows the test "
        "positions of a workbook, judges every move against the stored solution, answers with "
        "the stored replies and keeps your statistics for every exercise.",
        this);
    description->setObjectName("lblDescription");
    description->setWordWrap(true);
    auto* license =
        new QLabel("Free software under the GNU General Public License, version 3 or later.", this);
    license->setWordWrap(true);
    license->setStyleSheet("color: palette(mid);");

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addSpacing(8);
    text->addWidget(license);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* systemInfo = buttons->addButton("System Info", QDialogButtonBox::ActionRole);
    systemInfo->setObjectName("cmdSysInfo");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(systemInfo, &QPushButton::clicked, this, &CAboutBox::ShowSystemInfo);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    setFixedWidth(460);
}

void CAboutBox::ShowSystemInfo() {
    QDialog box(this);
    box.setObjectName("systemInfoBox");
    box.setWindowTitle("System Info");
    auto* info = new QLabel(strSystemInfo(), &box);
    info->setObjectName("lblSystemInfo");
    info->setTextInteractionFlags(Qt::TextSelectableByMouse);
    info->setContentsMargins(4, 4, 4, 4);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &box);
    // People paste these lines into their reports: one click puts them on the clipboard.
    QPushButton* copy = buttons->addButton("&Copy", QDialogButtonBox::ActionRole);
    copy->setObjectName("cmdCopy");
    connect(copy, &QPushButton::clicked, &box, [copy] {
        QGuiApplication::clipboard()->setText(strSystemInfo());
        copy->setText("Copied");
    });
    connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    auto* layout = new QVBoxLayout(&box);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->addWidget(info);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    box.exec();
}
