// The tray tip as handed to the tray host: a tray that draws it with the toolkit's tooltip
// reads a text that looks like markup as markup, so the tip must never look like any.
#include "qt/QtTrayIconService.h"

#include <QFontMetrics>
#include <QTextDocument>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace brisora;

TEST(QtTrayIconService, TipIsShownAsTheCharactersItHolds)
{
    TrayIconRecord record;
    const QString longPlace = QString(58, QLatin1Char('x')) + QStringLiteral(" &lt; <b>x</b>");
    for (const QString& place :
         {QStringLiteral("<b>Lakeside</b>, MN"), QStringLiteral("a &lt; b"),
          QStringLiteral("Tom & Jerry"), QStringLiteral("  <!DOCTYPE html>"),
          QStringLiteral("<p>Oslo"), QStringLiteral("Lakeside, MN"), longPlace}) {
        record.storeTip(place + QStringLiteral(" : 3 \u00B0F"));
        const QString shown = QtTrayIconService::literalTip(record.szTip);
        // The toolkit's tooltip takes a text as markup exactly when this says it may be.
        EXPECT_FALSE(Qt::mightBeRichText(shown)) << shown.toStdString();
        EXPECT_EQ(QFontMetrics(QToolTip::font()).horizontalAdvance(shown),
                  QFontMetrics(QToolTip::font()).horizontalAdvance(record.szTip))
            << "nothing visible is added";
        EXPECT_EQ(QString(shown).remove(QChar(0x2060)), record.szTip);
    }
    EXPECT_EQ(record.szTip.size(), 63) << "cut before anything is added";
}
