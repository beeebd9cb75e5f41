#include "views/common/RowColours.h"

#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesModel.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QPalette>

#include <gtest/gtest.h>

namespace {

QPalette listPalette(const QColor& base, const QColor& alternate, const QColor& text)
{
    QPalette palette;
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, alternate);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Window, base);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

const QPalette Light = listPalette(Qt::white, QColor(245, 245, 245), Qt::black);
const QPalette Dark = listPalette(QColor(35, 38, 41), QColor(49, 54, 59), QColor(239, 240, 241));

QColor colourOf(const QAbstractItemModel* model, int row, int role)
{
    return model->data(model->index(row, 0), role).value<QColor>();
}

} // namespace

TEST(RowColoursTest, LightPalettesKeepTheColoursAsTheyAre)
{
    const RowColours colours = RowColours::of(Light);
    EXPECT_EQ(colours.plainText, QColor(255, 0, 0));
    EXPECT_EQ(colours.changedText, QColor(0, 0, 255));
    EXPECT_EQ(colours.changedBackground, QColor(240, 240, 240));
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::red, Qt::red), 1.0);
}

TEST(RowColoursTest, DarkPalettesGetColoursOfTheSameHueThatRead)
{
    const struct
    {
        const char* name;
        QPalette palette;
        QColor changedBackground;
    } rows[] = {
        {"dark grey", Dark, QColor(49, 54, 59)},
        {"black", listPalette(Qt::black, QColor(20, 20, 20), Qt::white), QColor(20, 20, 20)},
        {"mid grey", listPalette(QColor(90, 90, 90), QColor(100, 100, 100), Qt::white),
         QColor(100, 100, 100)},
        {"dark blue", listPalette(QColor(10, 20, 70), QColor(20, 30, 90), QColor(220, 220, 255)),
         QColor(20, 30, 90)},
        {"no alternate rows", listPalette(QColor(40, 40, 40), QColor(40, 40, 40), Qt::white),
         QColor(60, 60, 60)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(IsDarkPalette(row.palette));
        const RowColours colours = RowColours::of(row.palette);
        EXPECT_GE(ContrastRatio(colours.plainText, row.palette.color(QPalette::Base)), MinimumContrast);
        EXPECT_GE(ContrastRatio(colours.changedText, colours.changedBackground), MinimumContrast);
        EXPECT_EQ(colours.changedBackground, row.changedBackground);
        EXPECT_EQ(colours.plainText.hslHue(), 0);
        EXPECT_EQ(colours.changedText.hslHue(), 240);
    }
    EXPECT_FALSE(IsDarkPalette(Light));
}

TEST(RowColoursTest, ListsMarkTheirRowsAndFollowThePalette)
{
    ContentsView contents;
    contents.setPalette(Light);
    ContentsModel* rows = contents.contentsModel();
    QStringList plain(ContentsModel::ColumnCount);
    plain[ContentsModel::PlainFlag] = QStringLiteral("1");
    QStringList container(ContentsModel::ColumnCount);
    container[ContentsModel::PlainFlag] = QStringLiteral("0");
    rows->appendRow(plain);
    rows->appendRow(container);
    EXPECT_EQ(colourOf(rows, 0, Qt::ForegroundRole), QColor(255, 0, 0));
    EXPECT_FALSE(colourOf(rows, 1, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(colourOf(rows, 0, Qt::BackgroundRole).isValid());
    contents.setPalette(Dark);
    EXPECT_EQ(colourOf(rows, 0, Qt::ForegroundRole), RowColours::of(Dark).plainText);

    DecryptedFilesView decrypted;
    decrypted.setPalette(Dark);
    DecryptedFilesModel* copies = decrypted.decryptedModel();
    copies->appendRow({QStringLiteral("a.txt"), QStringLiteral("1")});
    copies->appendRow({QStringLiteral("b.txt"), QStringLiteral("0")});
    EXPECT_EQ(colourOf(copies, 0, Qt::ForegroundRole), RowColours::of(Dark).changedText);
    EXPECT_EQ(colourOf(copies, 0, Qt::BackgroundRole), Dark.color(QPalette::AlternateBase));
    EXPECT_FALSE(colourOf(copies, 1, Qt::ForegroundRole).isValid());
    decrypted.setPalette(Light);
    EXPECT_EQ(colourOf(copies, 0, Qt::ForegroundRole), QColor(0, 0, 255));
    EXPECT_EQ(colourOf(copies, 0, Qt::BackgroundRole), QColor(240, 240, 240));
}
