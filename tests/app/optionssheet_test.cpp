// The options page: it changes the settings only on OK or Apply, and tells
// the views to repaint only when a colour or the custom-colours choice
// changed.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
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
    // The views painted the bitmap; now they paint the gradient.
    EXPECT_TRUE(sheet.ApplyChanges());
    EXPECT_EQ(settings.backgroundType, 1);
    EXPECT_EQ(hints, 1);
    EXPECT_FALSE(sheet.ApplyChanges());
    EXPECT_EQ(hints, 1);
}

TEST_F(OptionsTest, TheColourButtonsAskForAColour)
{
    COptionsSheet sheet(doc, 24);
    COptionsMiscPage& page = *sheet.Page();
    QColor offered;
    QString title;
    QColor answer;
    page.SetColourChooser([&](QWidget*, const QColor& current, const QString& caption) {
        offered = current;
        title = caption;
        return answer;
    });
    // Cancelled: nothing changes.
    page.ColourButton(COptionsMiscPage::TopColour)->click();
    EXPECT_EQ(offered, QColor(1, 2, 3));
    EXPECT_EQ(title, QStringLiteral("Window Top"));
    EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
    // Chosen: the page changes, the settings only on Apply.
    answer = QColor(200, 10, 10);
    page.ColourButton(COptionsMiscPage::BottomColour)->click();
    EXPECT_EQ(title, QStringLiteral("Window Bottom"));
    EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
    EXPECT_EQ(page.ColourOf(COptionsMiscPage::BottomColour), answer);
    EXPECT_NE(settings.bottomColor, answer);
    sheet.ApplyButton()->click();
    EXPECT_EQ(settings.bottomColor, answer);
    EXPECT_EQ(hints, 1);
    EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
}

TEST_F(OptionsTest, CancelLeavesTheSettingsAsTheyWere)
{
    const CSubSettings before = settings;
    COptionsSheet sheet(doc, 24);
    sheet.Check(QStringLiteral("Save Before Printing"))->click();
    sheet.Check(QStringLiteral("Delete Warnings"))->click();
    sheet.SetColor(COptionsSheet::TopColour, QColor(7, 7, 7));
    sheet.CancelButton()->click();
    EXPECT_EQ(settings.printSave, before.printSave);
    EXPECT_EQ(settings.deleteWarn, before.deleteWarn);
    EXPECT_EQ(settings.topColor, before.topColor);
    EXPECT_EQ(hints, 0);
    // OK applies as Apply does.
    COptionsSheet again(doc, 24);
    again.Check(QStringLiteral("Check Before Printing"))->click();
    again.OkButton()->click();
    EXPECT_EQ(settings.printCheck, !before.printCheck);
    EXPECT_EQ(hints, 0);
}

TEST(OptionsCustomColours, StartWhiteAndAreKeptForTheRun)
{
    InitCustomColours();
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        EXPECT_EQ(QColorDialog::customColor(i), QColor(Qt::white)) << i;
    QColorDialog::setCustomColor(3, QColor(1, 2, 3));
    // Opening the options again keeps what the user left in the table.
    InitCustomColours();
    EXPECT_EQ(QColorDialog::customColor(3), QColor(1, 2, 3));
    QColorDialog::setCustomColor(3, Qt::white);
}

TEST_F(OptionsTest, A256ColourDisplayCannotSwitchCustomColoursOn)
{
    settings.backgroundType = 0;
    COptionsSheet sheet(doc, 8);
    QCheckBox* custom = sheet.Check(QStringLiteral("Enable Custom Colors"));
    EXPECT_FALSE(custom->isEnabled());
    EXPECT_FALSE(custom->isChecked());
    EXPECT_FALSE(custom->isVisibleTo(&sheet));
    EXPECT_TRUE(sheet.Page()->RequiresHicolor()->isVisibleTo(&sheet));
    EXPECT_FALSE(sheet.Page()->ColourButton(COptionsMiscPage::TopColour)->isEnabled());
    EXPECT_FALSE(sheet.Page()->ColourButton(COptionsMiscPage::BottomColour)->isEnabled());
    EXPECT_TRUE(sheet.Page()->ColourButton(COptionsMiscPage::GridBackground)->isEnabled());
    EXPECT_TRUE(sheet.Page()->ColourButton(COptionsMiscPage::GridHighlight)->isEnabled());
    // The grid colours can still be changed.
    sheet.SetColor(COptionsSheet::GridBackground, QColor(4, 4, 4));
    EXPECT_TRUE(sheet.ApplyChanges());
    EXPECT_EQ(settings.gridBkgColor, QColor(4, 4, 4));
    EXPECT_EQ(settings.backgroundType, 0);
}

} // namespace
} // namespace kestrel
