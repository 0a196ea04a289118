// Parts of the views that stand on their own: the glyph decoder, the calendar of the date
// edit, and what happens to the views when their form goes.

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>

#include "qt/date_edit_view.h"
#include "qt/glyph.h"
#include "qt/look.h"
#include "qt/qt_screen_test.h"

namespace qttest {
namespace {

class ViewPartsTest : public QtScreenTest {};

// A bitmap file of `width` x `height` pixels at 16 bits (5-5-5), bottom-up, from a function of
// the pixel.
std::string bitmap16(int width, int height, const std::function<uint16_t(int x, int y)>& pixel) {
  const int stride = (width * 2 + 3) / 4 * 4;
  std::string d(54 + static_cast<size_t>(stride * height), '\0');
  auto put32 = [&d](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
  };
  d[0] = 'B';
  d[1] = 'M';
  put32(2, static_cast<uint32_t>(d.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  d[26] = 1;
  d[28] = 16;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint16_t v = pixel(x, y);
      const size_t at = 54 + static_cast<size_t>(stride * (height - 1 - y) + x * 2);
      d[at] = static_cast<char>(v & 0xFF);
      d[at + 1] = static_cast<char>(v >> 8);
    }
  return d;
}

TEST_F(ViewPartsTest, GlyphsDecodeWithTheirTwoStatesAndTransparentCorner) {
  // Left half red with a white dot, right half grey; the corner colour (black) is transparent.
  const std::string data = bitmap16(4, 2, [](int x, int y) -> uint16_t {
    if (x == 0 && y == 1) return 0x0000;
    if (x == 1 && y == 0) return 0x7FFF;
    return x < 2 ? 0x7C00 : 0x4210;
  });
  const QImage image = qtviews::DecodeBitmap(data);
  ASSERT_EQ(image.size(), QSize(4, 2));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(2, 1), qRgb(131, 131, 131));
  const QIcon icon = qtviews::GlyphIcon(data, 2);
  const QImage normal = icon.pixmap(QSize(2, 2), QIcon::Normal).toImage();
  const QImage disabled = icon.pixmap(QSize(2, 2), QIcon::Disabled).toImage();
  EXPECT_EQ(qAlpha(normal.pixel(0, 1)), 0);
  EXPECT_EQ(normal.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(disabled.pixel(0, 0), qRgb(131, 131, 131));
  // A length prefix before the file is accepted; what is not a bitmap gives nothing.
  EXPECT_EQ(qtviews::DecodeBitmap(std::string("\x36\x00\x00\x00", 4) + data).size(), QSize(4, 2));
  EXPECT_TRUE(qtviews::DecodeBitmap("BM not a bitmap").isNull());
  EXPECT_TRUE(qtviews::DecodeBitmap(data.substr(0, 60)).isNull());  // cut short
  EXPECT_TRUE(qtviews::GlyphIcon("", 2).isNull());

  // The screen's own glyph: 32 x 16, two 16 x 16 states that differ.
  openView();
  const QImage glyph = qtviews::DecodeBitmap(form()->btnFilial->GlyphData());
  ASSERT_EQ(glyph.size(), QSize(32, 16));
  EXPECT_NE(glyph.copy(0, 0, 16, 16), glyph.copy(16, 0, 16, 16));
}

TEST_F(ViewPartsTest, TheDateEditCalendarUsesTheDayNamesAndTypesThePickedDay) {
  openView();
  QTest::mouseClick(widget("medCdTabePrec"), Qt::LeftButton);
  QTest::keyClicks(widget("medCdTabePrec"), "001");
  auto* start = widget<qtviews::DateEditView>("depDtIniVig");
  start->dropDownButton()->click();
  EXPECT_EQ(focused(), "depDtIniVig");
  qtviews::CalendarPopup* calendar = start->calendar();
  ASSERT_NE(calendar, nullptr);
  ASSERT_TRUE(calendar->isVisible());
  EXPECT_EQ(calendar->columnTitles().join(QLatin1Char(' ')),
            QStringLiteral("Dom Seg Ter Qua Qui Sex Sáb"));
  EXPECT_EQ(calendar->monthTitle(), QStringLiteral("Dezembro 2026"));  // today's month
  EXPECT_EQ(calendar->chosen(), QDate(2026, 12, 8));
  QTest::keyClick(calendar, Qt::Key_PageDown);
  EXPECT_EQ(calendar->monthTitle(), QStringLiteral("Janeiro 2027"));
  QTest::keyClick(calendar, Qt::Key_PageUp);
  calendar->dayButton(1)->click();
  EXPECT_FALSE(calendar->isVisible());
  EXPECT_EQ(start->text(), QStringLiteral("01/12/2026"));
  EXPECT_EQ(form()->depDtIniVig->Text(), "01/12/2026");
  // A valid date shows in the edit's valid-date colour, with its weekday as the tool tip.
  EXPECT_EQ(start->palette().color(QPalette::Text), qtviews::ToQColor(tk::colors::clBlue));
  EXPECT_EQ(start->toolTip(), QStringLiteral("Terça"));
  start->end(false);
  QTest::keyClick(start, Qt::Key_Backspace);
  EXPECT_EQ(start->text(), QStringLiteral("01/12/202_"));
  EXPECT_NE(start->palette().color(QPalette::Text), qtviews::ToQColor(tk::colors::clBlue));
  EXPECT_EQ(start->toolTip(), QString());
  // The calendar opens on the date shown.
  start->setCursorPosition(0);
  start->selectAll();
  QTest::keyClicks(start, "15022027");
  start->dropDownButton()->click();
  EXPECT_EQ(calendar->chosen(), QDate(2027, 2, 15));
  QTest::keyClick(calendar, Qt::Key_Escape);
  EXPECT_FALSE(calendar->isVisible());
  EXPECT_EQ(form()->depDtIniVig->Text(), "15/02/2027");
}

TEST_F(ViewPartsTest, TheViewsLetGoWhenTheFormIsDestroyed) {
  openView();
  bool gone = false;
  view->onFormGone = [&gone] { gone = true; };
  QPointer<QWidget> edit = widget("medCdFilial");
  ASSERT_EQ(close(), "ok");  // the base form frees a closed screen
  EXPECT_EQ(form(), nullptr);
  EXPECT_TRUE(gone);
  EXPECT_EQ(view->form(), nullptr);
  EXPECT_EQ(view->viewByName("medCdFilial"), nullptr);
  // The widgets stay until the view goes, inert: typing reaches nothing.
  ASSERT_NE(edit, nullptr);
  calls();
  QTest::keyClicks(edit, "12");
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_EQ(calls(), "");  // leaving the branch field asked nobody
  EXPECT_EQ(shown(), "");
  view.reset();
  EXPECT_EQ(edit, nullptr);
}

}  // namespace
}  // namespace qttest
