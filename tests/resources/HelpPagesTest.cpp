// The help pages as the help window shows them: titles, links, anchors and pictures.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QString helpDir = QStringLiteral(BRISOLT_RESOURCES_DIR "/help");

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// Every href and src value of a page, in order.
QStringList references(const QString& html) {
    QStringList found;
    static const QRegularExpression pattern(QStringLiteral("\\b(?:href|src)=\"([^\"]*)\""));
    for (auto it = pattern.globalMatch(html); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

// The anchor names a page defines.
QSet<QString> anchors(const QString& html) {
    QSet<QString> names;
    static const QRegularExpression pattern(QStringLiteral("<a\\s+name=\"([^\"]+)\""));
    for (auto it = pattern.globalMatch(html); it.hasNext();)
        names.insert(it.next().captured(1));
    return names;
}

struct Page {
    const char* file;
    const char* title;
};

const Page pages[] = {
    {"index.html", "Brisolt Help"},
    {"training.html", "How training works"},
    {"menus.html", "The menus"},
    {"workbooks.html", "Workbook files"},
    {"practice.html", "Practice against the engine"},
    {"building.html", "Building workbooks"},
    {"board.html", "The board: mouse, keys and options"},
    {"statistics.html", "Statistics and the training order"},
};

void PrintTo(const Page& page, std::ostream* out) {
    *out << page.file;
}

class HelpPageTest : public testing::TestWithParam<Page> {
protected:
    QString path() const { return helpDir + "/" + GetParam().file; }
};

TEST_P(HelpPageTest, OpensInTheHelpBrowserWithItsTitleAndHeading) {
    QTextBrowser browser;
    browser.setSource(QUrl::fromLocalFile(path()));
    EXPECT_EQ(browser.documentTitle(), QString(GetParam().title));
    const QString html = readText(path());
    static const QRegularExpression heading(QStringLiteral("<h1>([^<]*)</h1>"));
    EXPECT_EQ(heading.match(html).captured(1), QString(GetParam().title));
    EXPECT_GT(browser.toPlainText().size(), 500) << "the page reads as almost empty";
}

TEST_P(HelpPageTest, EveryLinkAndPictureLeadsToSomethingThatExists) {
    const QString html = readText(path());
    ASSERT_FALSE(html.isEmpty());
    const QStringList refs = references(html);
    ASSERT_FALSE(refs.isEmpty());
    for (const QString& ref : refs) {
        SCOPED_TRACE(ref.toStdString());
        // The help works without a network: every reference is a file beside the page.
        EXPECT_FALSE(ref.contains(":")) << "not a local reference";
        const QString file = ref.section('#', 0, 0);
        const QString anchor = ref.section('#', 1);
        const QString target = file.isEmpty() ? path() : QFileInfo(QDir(helpDir), file).filePath();
        ASSERT_TRUE(QFileInfo::exists(target)) << target.toStdString();
        if (!anchor.isEmpty()) {
            EXPECT_TRUE(anchors(readText(target)).contains(anchor));
        }
    }
}

TEST_P(HelpPageTest, UsesTheSharedStyleAndLeadsBackToTheContents) {
    const QStringList refs = references(readText(path()));
    EXPECT_TRUE(refs.contains("help.css"));
    if (QString(GetParam().file) != "index.html") {
        EXPECT_TRUE(refs.contains("index.html"));
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, HelpPageTest, testing::ValuesIn(pages),
                         [](const testing::TestParamInfo<Page>& info) {
                             return QString(info.param.file).section('.', 0, 0).toStdString();
                         });

TEST(HelpContentsTest, ListsEveryPageOfTheHelpFolder) {
    const QStringList linked = references(readText(helpDir + "/index.html"));
    const QStringList files = QDir(helpDir).entryList({"*.html"}, QDir::Files);
    EXPECT_EQ(files.size(), static_cast<qsizetype>(std::size(pages)));
    for (const QString& file : files) {
        if (file == "index.html") continue;
        EXPECT_TRUE(linked.contains(file)) << file.toStdString() << " cannot be reached";
    }
}

TEST(HelpContentsTest, ShowsTheResultMarksOnTheTrainingPage) {
    QTextBrowser browser;
    browser.setSource(QUrl::fromLocalFile(helpDir + "/training.html"));
    for (const char* picture : {"../images/success.svg", "../images/failure.svg"}) {
        SCOPED_TRACE(picture);
        const QVariant data = browser.loadResource(QTextDocument::ImageResource, QUrl(picture));
        ASSERT_TRUE(data.isValid());
        QImage image;
        if (data.canConvert<QImage>() && data.typeId() == QMetaType::QImage)
            image = data.value<QImage>();
        else
            image = QImage::fromData(data.toByteArray());
        EXPECT_FALSE(image.isNull()) << "the help window cannot draw the picture";
    }
}

} // namespace
