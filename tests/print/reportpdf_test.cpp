#include "print/reportpdf.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>

#include "print/pagepainter.h"
#include "print/printtestapp.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

void App()
{
    test::PrintTestApp();
}

// 144 dots per inch: one pixel is ten twips.
QImage Render(const ReportPage& page, bool byCharacter = false)
{
    App();
    QImage image(1224, 1584, QImage::Format_RGB32);
    image.setDotsPerMeterX(5669); // 144 dpi
    image.setDotsPerMeterY(5669);
    image.fill(Qt::white);
    QPainter painter(&image);
    CPagePainter::SetTwipsMapping(painter, image);
    painter.setFont(CPagePainter::ReportFont());
    painter.setPen(Qt::black);
    if (byCharacter)
        CPagePainter::DrawPageByCharacter(painter, page);
    else
        CPagePainter::DrawPage(painter, page);
    painter.end();
    return image;
}

int DarkPixelsInCell(const QImage& image, int line, int column)
{
    const int x0 = column * CPagePainter::kCellWidth / 10;
    const int x1 = (column + 1) * CPagePainter::kCellWidth / 10;
    const int y0 = line * CPagePainter::kLineHeight / 10;
    const int y1 = (line + 1) * CPagePainter::kLineHeight / 10;
    int dark = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++dark;
    return dark;
}

TEST(PagePainter, CharactersLandInTheirCells)
{
    ReportPage page;
    page.lines = {"", "", "         X          W", std::string(80, 'M')};
    const QImage image = Render(page);
    EXPECT_GT(DarkPixelsInCell(image, 2, 9), 5);
    EXPECT_EQ(DarkPixelsInCell(image, 2, 8), 0);
    EXPECT_EQ(DarkPixelsInCell(image, 2, 10), 0);
    EXPECT_GT(DarkPixelsInCell(image, 2, 20), 5);
    EXPECT_EQ(DarkPixelsInCell(image, 1, 9), 0);
    // A full line keeps to its 80 cells: the last one is inked, the one
    // after it is not.
    EXPECT_GT(DarkPixelsInCell(image, 3, 79), 5);
    EXPECT_EQ(DarkPixelsInCell(image, 3, 80), 0);
    EXPECT_EQ(DarkPixelsInCell(image, 4, 0), 0);
    if (const char* dir = std::getenv("KESTREL_PAGE_PNG"))
        image.save(QString::fromLocal8Bit(dir) + QStringLiteral("/page.png"));
}

TEST(PagePainter, CharacterByCharacterInksTheSameCells)
{
    ReportPage page;
    page.lines = {"ab  c", "", "    x y", std::string(80, 'W')};
    const QImage glyphs = Render(page);
    const QImage chars = Render(page, true);
    for (int line = 0; line < 5; ++line)
        for (int column = 0; column < 81; ++column)
            EXPECT_EQ(DarkPixelsInCell(glyphs, line, column) > 3, DarkPixelsInCell(chars, line, column) > 3)
                << line << "," << column;
}

TEST(ReportPdf, TextIsWhereTheLayoutPutIt)
{
    App();
    test::TempDir dir;
    const QString pdf = QString::fromStdString(dir.file("report.pdf"));
    ReportPage one;
    one.lines = {"Hello", "", "  Column two", "", "", "", "", "", "", "", "Line ten"};
    ReportPage two;
    two.lines = {"Second page"};
    const Status written = CReportPdf::Write(pdf, {one, two});
    ASSERT_TRUE(written.ok()) << written.errorText();

    if (const char* keep = std::getenv("KESTREL_PAGE_PNG"))
        QFile::copy(pdf, QString::fromLocal8Bit(keep) + QStringLiteral("/report.pdf"));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    auto box = [&](const QString& word) {
        const QRegularExpression re(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>") +
                                    QRegularExpression::escape(word) + QStringLiteral("<"));
        const auto m = re.match(html);
        EXPECT_TRUE(m.hasMatch()) << word.toStdString();
        return std::pair<double, double>(m.captured(1).toDouble(), m.captured(2).toDouble());
    };
    const auto hello = box(QStringLiteral("Hello"));
    const auto column = box(QStringLiteral("Column"));
    const auto ten = box(QStringLiteral("ten"));
    const auto second = box(QStringLiteral("Second"));
    // Quarter-inch margin (18 pt); 134 twips = 6.7 pt per column and 240
    // twips = 12 pt per line.
    EXPECT_NEAR(hello.first, 18.0, 0.5);
    EXPECT_NEAR(column.first - hello.first, 2 * 6.7, 0.5);
    EXPECT_NEAR(column.second - hello.second, 2 * 12.0, 0.5);
    EXPECT_NEAR(ten.first - hello.first, 5 * 6.7, 0.5);
    EXPECT_NEAR(ten.second - hello.second, 10 * 12.0, 0.5);
    EXPECT_NEAR(second.second, hello.second, 0.5);
    EXPECT_EQ(html.count(QStringLiteral("<page ")), 2);
}

TEST(ReportPdf, UnwritablePathIsAnError)
{
    App();
    const Status written = CReportPdf::Write(QStringLiteral("/nonexistent-dir/x.pdf"), {});
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.errorText().empty());
}

} // namespace
} // namespace kestrel
