// The pictures the program shows and installs: result marks, icon and desktop entry.
#include <QColor>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

const QString resourcesDir = QStringLiteral(BRISOLT_RESOURCES_DIR);

QImage rendered(QSvgRenderer& renderer, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

enum class Hue { Green, Red };

struct Mark {
    const char* file;
    Hue hue;
    QPoint fill; // a point of the disc away from the sign
    QPoint sign; // a point on the white sign
};

const Mark marks[] = {
    {"images/success.svg", Hue::Green, {14, 40}, {27, 41}},
    {"images/failure.svg", Hue::Red, {14, 40}, {32, 32}},
};

void PrintTo(const Mark& mark, std::ostream* out) {
    *out << mark.file;
}

class MarkTest : public testing::TestWithParam<Mark> {};

TEST_P(MarkTest, IsAColouredDiscWithAWhiteSignOnATransparentGround) {
    QSvgRenderer renderer(resourcesDir + "/" + GetParam().file);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 64, 64));
    const QImage image = rendered(renderer, 64);

    const QColor fill = image.pixelColor(GetParam().fill);
    const int lead =
        GetParam().hue == Hue::Green ? fill.green() - fill.red() : fill.red() - fill.green();
    EXPECT_GT(lead, 60) << "disc colour " << fill.name().toStdString();
    EXPECT_EQ(fill.alpha(), 255);

    const QColor sign = image.pixelColor(GetParam().sign);
    EXPECT_GT(std::min({sign.red(), sign.green(), sign.blue()}), 230)
        << "sign colour " << sign.name().toStdString();

    for (QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63)})
        EXPECT_EQ(image.pixelColor(corner).alpha(), 0);
}

INSTANTIATE_TEST_SUITE_P(Marks, MarkTest, testing::ValuesIn(marks),
                         [](const testing::TestParamInfo<Mark>& info) {
                             return info.param.hue == Hue::Green ? "Success" : "Failure";
                         });

TEST(IconTest, StaysASquareTileWithRoundedCornersAtEverySize) {
    QSvgRenderer renderer(resourcesDir + "/brisolt.svg");
    ASSERT_TRUE(renderer.isValid());
    const QRectF box = renderer.viewBoxF();
    EXPECT_EQ(box.width(), box.height());
    for (int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage image = rendered(renderer, size);
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
        EXPECT_EQ(image.pixelColor(size / 2, size / 2).alpha(), 255);
        EXPECT_EQ(image.pixelColor(size / 2, size / 16 + 1).alpha(), 255);
    }
}

// Keys of the [Desktop Entry] group.
QMap<QString, QString> desktopEntry(const QString& path) {
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return keys;
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('['))
            inGroup = line == "[Desktop Entry]";
        else if (inGroup && line.contains('='))
            keys.insert(line.section('=', 0, 0), line.section('=', 1));
    }
    return keys;
}

TEST(DesktopEntryTest, StartsTheProgramWithItsIconAndAFile) {
    const QMap<QString, QString> keys = desktopEntry(resourcesDir + "/brisolt.desktop");
    ASSERT_FALSE(keys.isEmpty());
    const QMap<QString, QString> expected = {
        {"Type", "Application"}, {"Name", "Brisolt"},   {"Icon", "brisolt"},
        {"Exec", "brisolt %f"},  {"Terminal", "false"},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(keys.value(it.key()), it.value()) << it.key().toStdString();
    // The icon name is the installed picture's base name.
    EXPECT_TRUE(QFile::exists(resourcesDir + "/" + keys.value("Icon") + ".svg"));
    for (const char* list : {"Categories", "Keywords"})
        EXPECT_TRUE(keys.value(list).endsWith(';')) << list << " must end with ;";
    EXPECT_TRUE(keys.value("Categories").split(';').contains("Game"));
}

} // namespace
