// A picture of the window, saved under the build folder for anyone to look at, and checks
// that it shows something and that every control lies inside it.
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <set>

#include "bitmaps.h"
#include "keypad_template.h"
#include "window_fixture.h"

namespace quillpad::testing {
namespace {

// Distinct colours in a sample of the picture's pixels.
int DistinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

void SavePicture(const QPixmap& picture, const char* name) {
    const QString folder = QStringLiteral(QUILLPAD_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + "/" + name;
    ASSERT_TRUE(picture.save(path)) << path.toStdString();
    std::printf("screenshot: %s\n", path.toStdString().c_str());
}

TEST_F(WindowTest, ScreenshotShowsEveryControlInsideTheWindow) {
    Open();
    const QPixmap picture = window->grab();
    SavePicture(picture, "keypad-window.png");
    const QImage image = picture.toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), window->size());
    EXPECT_GT(DistinctColours(image), 50) << "the window looks blank";

    const QRect client = window->rect();
    for (const ControlTemplate& c : KeypadTemplate().controls) {
        if (!c.visible) {
            continue;
        }
        QWidget* w = c.id == kIdStatic ? nullptr : Control(c.id);
        if (w == nullptr) {
            continue;
        }
        if (c.id == kIdKeypadPicture) {
            // The keypad picture is a little wider than the window and is cut at its edge.
            EXPECT_TRUE(w->geometry().contains(QRect(0, 0, client.width(), w->height())));
            continue;
        }
        EXPECT_TRUE(client.contains(w->geometry())) << "control " << c.id;
        if (c.kind == ControlKind::kPicture) {
            EXPECT_FALSE(static_cast<QLabel*>(w)->pixmap().isNull()) << "picture " << c.id;
        }
    }
    // The key pictures and the labels do not overlap the editing area.
    const QRect group = Control(kIdKeySettingGroup)->geometry();
    for (int id : kKeyLabelIds) {
        EXPECT_FALSE(group.intersects(Control(id)->geometry())) << id;
    }
    // Texts fit their controls with the font actually used.
    for (int id : {kIdDeviceCaption, kIdFunctionCaption, kIdOk, kIdRefresh, kIdBack, kIdNext,
                   kIdReset, kIdApplication, kIdMouseMiddle}) {
        QWidget* w = Control(id);
        EXPECT_LE(w->fontMetrics().horizontalAdvance(QString::fromStdString(Text(id))), w->width())
            << "text of " << id << " is cut";
    }
}

// The caption is fixed text that users and scripts find the window by, whatever the program's
// version; every picture the layout lists is compiled in under its name.
TEST_F(WindowTest, FixedCaptionAndEveryPictureOfTheLayout) {
    Open();
    EXPECT_EQ(window->windowTitle().toStdString(), "Quillpad V1.3");
    for (const PictureResource& p : Pictures()) {
        SCOPED_TRACE(p.name);
        switch (p.kind) {
            case PictureKind::kBitmap:
                EXPECT_FALSE(LoadBitmap(p.resource).isNull());
                break;
            case PictureKind::kIcon:
                EXPECT_EQ(LoadAppIcon().availableSizes().size(), 6);
                break;
            case PictureKind::kCursor:
                EXPECT_EQ(LoadOpenKeyboardCursor().shape(), Qt::BitmapCursor);
                break;
        }
    }
}

TEST_F(WindowTest, ScreenshotOfTheHelpWindow) {
    Open();
    CHelpDlg& help = window->HelpDialog();
    help.show();
    const QPixmap picture = help.grab();
    SavePicture(picture, "help-window.png");
    EXPECT_GT(DistinctColours(picture.toImage()), 5);
    for (QWidget* child : help.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(help.rect().contains(child->geometry()));
    }
    help.hide();
}

}  // namespace
}  // namespace quillpad::testing
