// The program's icons are drawn, not scaled: at 200 % each is painted on
// twice the pixels, and differs from its 100 % picture blown up.

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "app/painticons.h"

namespace kestrel {
namespace {

// How many pixels of the 200 % picture differ from the 100 % one doubled.
int SharperPixels(const QIcon& icon, QIcon::Mode mode = QIcon::Normal)
{
    const QPixmap twice = icon.pixmap(QSize(16, 16), 2.0, mode);
    EXPECT_EQ(twice.size(), QSize(32, 32));
    EXPECT_DOUBLE_EQ(twice.devicePixelRatio(), 2.0);
    const QImage sharp = twice.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage blown = icon.pixmap(QSize(16, 16), 1.0, mode)
                             .toImage()
                             .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
    int differ = 0;
    int inked = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            inked += qAlpha(sharp.pixel(x, y)) > 0;
            differ += sharp.pixel(x, y) != blown.pixel(x, y);
        }
    EXPECT_GT(inked, 40);
    return differ;
}

TEST(PaintedIcons, EveryIconIsDrawnAtTwiceThePixels)
{
    EXPECT_GT(SharperPixels(ProgramIcon()), 50);
    EXPECT_GT(SharperPixels(ProposalIcon()), 30);
    for (int state : {FOLDER_RED, FOLDER_GREEN, FOLDER_YELLOW, FOLDER_CYAN}) {
        EXPECT_GT(SharperPixels(FolderIcon(state)), 30) << state;
        EXPECT_GT(SharperPixels(FolderIcon(state), QIcon::Selected), 30) << state;
    }
    for (ToolIcon tool : {ToolIcon::Open, ToolIcon::Save, ToolIcon::Print, ToolIcon::Check}) {
        EXPECT_GT(SharperPixels(ToolbarIcon(tool)), 30);
        EXPECT_GT(SharperPixels(ToolbarIcon(tool), QIcon::Disabled), 30);
    }
    for (PreviewIcon tool : {PreviewIcon::First, PreviewIcon::Previous, PreviewIcon::Next, PreviewIcon::Last,
                             PreviewIcon::ZoomIn, PreviewIcon::ZoomOut, PreviewIcon::FitWidth,
                             PreviewIcon::FitPage, PreviewIcon::Pdf})
        EXPECT_GT(SharperPixels(PreviewToolIcon(tool)), 20);
}

} // namespace
} // namespace kestrel
