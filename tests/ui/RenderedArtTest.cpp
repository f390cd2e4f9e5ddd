// Builds without QtSvg draw the art from PNGs rendered at build time: every size the windows
// ask for at the scale factors Windows offers must have been rendered, or it would be
// scaled from another and come out blurred.
#include "art/ConditionImages.h"
#include "layout/MainWindowLayout.h"
#include "layout/OptionsLayout.h"

#include <QFileInfo>
#include <QSize>

#include <gtest/gtest.h>

using namespace brisora;

namespace {

bool rendered(const QString& name, QSize size)
{
    return QFileInfo::exists(
        QStringLiteral(":/png/%1-%2x%3.png").arg(name).arg(size.width()).arg(size.height()));
}

} // namespace

TEST(RenderedArt, EverySizeTheWindowsDrawAtEachScaleFactor)
{
    const QSize condition(ConditionImages::kSidePixels, ConditionImages::kSidePixels);
    const QSize button = mainLayout::toPixels(mainLayout::Picture2, 15, 15).size();
    const QSize background(optionsLayout::kBackgroundWidth, optionsLayout::kBackgroundHeight);
    for (const double scale : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        for (int index = 1; index <= ConditionImages::kCount; ++index)
            EXPECT_TRUE(rendered(ConditionImages::artName(index), condition * scale))
                << index << " at " << scale;
        EXPECT_TRUE(rendered(QStringLiteral("options-button"), button * scale)) << scale;
        EXPECT_TRUE(rendered(QStringLiteral("options-background"), background * scale)) << scale;
    }
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(rendered(QStringLiteral("brisora"), QSize(side, side))) << side;
}
