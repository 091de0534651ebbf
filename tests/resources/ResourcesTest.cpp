// The files the program ships beside itself: help pages as the help window shows them, the result
// marks, the icon and the desktop entry.
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QString resourcesDir = QStringLiteral(BRISOLT_RESOURCES_DIR);
const QString helpDir = resourcesDir + "/help";

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The values of one attribute (href, src, name) in a page, in order.
QStringList values(const QString& html, const QString& attribute) {
    QStringList found;
    const QRegularExpression pattern("\\b" + attribute + "=\"([^\"]*)\"");
    for (auto it = pattern.globalMatch(html); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

TEST(HelpPages, EachOpensWithItsTitleAndEveryLinkAndPictureLeadsToAFileBesideIt) {
    const std::map<QString, QString> titles = {
        {"index.html", "Brisolt Help"},
        {"training.html", "How training works"},
        {"menus.html", "The menus"},
        {"workbooks.html", "Workbook files"},
        {"practice.html", "Practice against the engine"},
        {"building.html", "Building workbooks"},
        {"board.html", "The board: mouse, keys and options"},
        {"statistics.html", "Statistics and the training order"},
    };
    const QStringList files = QDir(helpDir).entryList({"*.html"}, QDir::Files);
    EXPECT_EQ(files.size(), qsizetype(titles.size()));
    const QStringList contents = values(readText(helpDir + "/index.html"), "href");
    for (const auto& [file, title] : titles) {
        SCOPED_TRACE(file.toStdString());
        const QString path = helpDir + "/" + file;
        QTextBrowser browser;
        browser.setSource(QUrl::fromLocalFile(path));
        EXPECT_EQ(browser.documentTitle(), title);
        EXPECT_GT(browser.toPlainText().size(), 500) << "the page reads as almost empty";
        const QString html = readText(path);
        EXPECT_TRUE(html.contains("<h1>" + title + "</h1>"));
        const QStringList refs = values(html, "href") + values(html, "src");
        EXPECT_TRUE(refs.contains("help.css"));
        EXPECT_TRUE(file == "index.html" ||
                    (refs.contains("index.html") && contents.contains(file)))
            << "the page and the contents lead to each other";
        for (const QString& ref : refs) {
            SCOPED_TRACE(ref.toStdString());
            // the help works without a network: every reference is a file beside the page
            EXPECT_FALSE(ref.contains(":"));
            const QString target =
                ref.startsWith('#') ? path : helpDir + "/" + ref.section('#', 0, 0);
            ASSERT_TRUE(QFileInfo::exists(target));
            if (ref.contains('#')) {
                EXPECT_TRUE(values(readText(target), "name").contains(ref.section('#', 1)));
            }
            if (values(html, "src").contains(ref)) {
                EXPECT_FALSE(QImage(target).isNull()) << "the help window cannot draw it";
            }
        }
    }
}

QImage rendered(QSvgRenderer& renderer, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

TEST(Pictures, TheResultMarksAreColouredDiscsWithAWhiteSignOnATransparentGround) {
    // file, whether the disc is green (else red), a point on the white sign
    const std::tuple<const char*, bool, QPoint> marks[] = {{"images/success.svg", true, {27, 41}},
                                                           {"images/failure.svg", false, {32, 32}}};
    for (const auto& [file, green, onSign] : marks) {
        SCOPED_TRACE(file);
        QSvgRenderer renderer(resourcesDir + "/" + file);
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 64, 64));
        const QImage image = rendered(renderer, 64);
        const QColor fill = image.pixelColor(14, 40); // on the disc, away from the sign
        EXPECT_GT(green ? fill.green() - fill.red() : fill.red() - fill.green(), 60);
        EXPECT_EQ(fill.alpha(), 255);
        const QColor sign = image.pixelColor(onSign);
        EXPECT_GT(std::min({sign.red(), sign.green(), sign.blue()}), 230);
        for (QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63)})
            EXPECT_EQ(image.pixelColor(corner).alpha(), 0);
    }
}

TEST(Pictures, TheIconIsASquareTileWithRoundedCornersAtEverySize) {
    QSvgRenderer renderer(resourcesDir + "/brisolt.svg");
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBoxF().width(), renderer.viewBoxF().height());
    for (int size : {16, 32, 48, 256}) {
        const QImage image = rendered(renderer, size);
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
        EXPECT_EQ(image.pixelColor(size / 2, size / 2).alpha(), 255) << size;
        EXPECT_EQ(image.pixelColor(size / 2, size / 16 + 1).alpha(), 255) << size;
    }
}

TEST(Pictures, TheDesktopEntryStartsTheProgramWithItsIconAndAFile) {
    // the keys of the first group, up to the next group's header
    const QString group = readText(resourcesDir + "/brisolt.desktop").section("\n[", 0, 0);
    ASSERT_TRUE(group.startsWith("[Desktop Entry]\n"));
    std::map<QString, QString> keys;
    for (const QString& line : group.split('\n', Qt::SkipEmptyParts))
        keys[line.section('=', 0, 0).trimmed()] = line.section('=', 1).trimmed();
    const std::map<QString, QString> expected = {
        {"Type", "Application"}, {"Name", "Brisolt"},   {"Icon", "brisolt"},
        {"Exec", "brisolt %f"},  {"Terminal", "false"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(keys[key], value) << key.toStdString();
    for (const char* list : {"Categories", "Keywords"})
        EXPECT_TRUE(keys[list].endsWith(';')) << list;
    EXPECT_TRUE(keys["Categories"].split(';').contains("Game"));
}

} // namespace
