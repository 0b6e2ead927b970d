// The options page: it changes the settings only on OK or Apply, and tells
// the views to repaint only when a colour or the custom-colours choice
// changed.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>

#include "app/guitestsupport.h"
#include "app/optionssheet.h"
#include "app/subdoc.h"
#include "app/subsettings.h"

namespace kestrel {
namespace {

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() : doc(settings, asker)
    {
        QObject::connect(&doc, &CSubDoc::colorSettingsChanged, &doc, [this] { ++hints; });
        settings.backgroundType = 1;
        settings.topColor = QColor(1, 2, 3);
    }
    CSubSettings settings;
    test::ScriptedAsker asker;
    CSubDoc doc;
    int hints = 0;
};

TEST_F(OptionsTest, OnlyTheSplashChoiceChangedSendsNoHint)
{
    COptionsSheet sheet(doc, 24);
    EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
    sheet.Check(QStringLiteral("Show Splash Screen at Startup"))->click();
    EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
    EXPECT_TRUE(settings.showSplash); // not before Apply
    EXPECT_FALSE(sheet.ApplyChanges());
    EXPECT_FALSE(settings.showSplash);
    EXPECT_EQ(hints, 0);
}

TEST_F(OptionsTest, AColourChangedSendsTheHint)
{
    COptionsSheet sheet(doc, 24);
    sheet.SetColor(COptionsSheet::GridHighlight, QColor(9, 9, 9));
    EXPECT_EQ(settings.gridHiliteColor, QColor());
    EXPECT_TRUE(sheet.ApplyChanges());
    EXPECT_EQ(settings.gridHiliteColor, QColor(9, 9, 9));
    EXPECT_EQ(hints, 1);
    // Custom colours off: also a hint, and a plain background.
    sheet.Check(QStringLiteral("Enable Custom Colors"))->click();
    EXPECT_TRUE(sheet.ApplyChanges());
    EXPECT_EQ(settings.backgroundType, 0);
    EXPECT_EQ(hints, 2);
}

TEST_F(OptionsTest, ABitmapBackgroundShowsCheckedAndBecomesAGradient)
{
    settings.backgroundType = 2;
    COptionsSheet sheet(doc, 24);
    EXPECT_TRUE(sheet.Check(QStringLiteral("Enable Custom Colors"))->isChecked());
    EXPECT_FALSE(sheet.ApplyChanges());
    EXPECT_EQ(settings.backgroundType, 1);
}

TEST_F(OptionsTest, A256ColourDisplayCannotSwitchCustomColoursOn)
{
    settings.backgroundType = 0;
    COptionsSheet sheet(doc, 8);
    QCheckBox* custom = sheet.Check(QStringLiteral("Enable Custom Colors"));
    EXPECT_FALSE(custom->isEnabled());
    EXPECT_FALSE(custom->isChecked());
    // The grid colours can still be changed.
    sheet.SetColor(COptionsSheet::GridBackground, QColor(4, 4, 4));
    EXPECT_TRUE(sheet.ApplyChanges());
    EXPECT_EQ(settings.gridBkgColor, QColor(4, 4, 4));
    EXPECT_EQ(settings.backgroundType, 0);
}

} // namespace
} // namespace kestrel
