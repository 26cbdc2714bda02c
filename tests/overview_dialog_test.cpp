// "Oversigt" through the menu over the real file, its picture saved; the chart's ends.
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <ranges>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "chart/chart_image.h"
#include "form_fixture.h"

namespace horalog::testing {
namespace {

class OverviewTest : public FormTest {
protected:
    // Opened from its menu entry, once the file is read (on a thread of its own).
    void open() {
        menu(u"O&versigt"_s);
        dialog = form().findChild<QDialog*>(u"Oversigt"_s);
        (void)QTest::qWaitFor([this] { return !area("Oversigt_Arbejdstid").startsWith(u"Læser"); });
    }
    QString area(const char* name) { return child<QPlainTextEdit>(name)->toPlainText(); }
    void press(const char* button) { child<QPushButton>(button)->click(); }
    void close() {
        press("Luk");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QPointer<QDialog> dialog;
};

// Unreadable lines named, a finding as --check gives it, scrolled by keys, a file it cannot read.
TEST_F(OverviewTest, OpenedFromTheMenu) {
    on(10, 10, 0);
    // Lines 3 and 4 cannot be read (empty fields, a NUL in a figure): no working days, named.
    startExistingUser(kHeader + "01-12-2026;1;08:00;16:00;750;750;10;\r\n02-12-2026;44;;;;;;\r\n" +
                      "03-12-2026;2;08:00;16:00;750;1500;2\0000;\r\n"_ba +
                      "07-12-2026;2;08:00;17:00;850;1600;120;\r\n");
    QStringList entries;
    for (const QAction* a : child<QMenu>("Func_Menu")->actions()) {
        entries << a->text();
    }
    EXPECT_EQ(entries.join(u'|'),
              u"Angiv a&fspadsering|O&versigt|&Nulstil flex periode||&Om Horalog||&Afslut"_s);
    open();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_EQ(
        dialog->windowTitle() + u'|' + area("Oversigt_Maaneder"),
        u"Oversigt|Måned        Arbejdsdage      Arbejdstid    Afspadsering   Nulstillinger       "
        u"     Flex\n2026-12                2         1600 ct            0 ct               0    "
        u"      120 ct\n\n2 linjer i registreringsfilen kunne ikke læses (første: linje 3)."_s);
    QTest::keyClicks(child<QWidget>("Oversigt_Arbejdstid"), u"x"_s);  // a key there changes nothing
    EXPECT_EQ(
        area("Oversigt_Arbejdstid") + u'|' + child<QWidget>("Oversigt_Chart")->accessibleName(),
        u"Ingen overskridelser.|Flex-saldo dag for dag og arbejdstid pr. uge"_s);
    platform.answer(u'@' + inDir("billede"));
    press("Gem_Billede");
    EXPECT_EQ(platform.shown.back().title + u'|' + platform.shown.back().file.filters.join(u';'),
              u"Gem som billede|PNG-billede (*.png)"_s);
    const QString saved = inDir("billede") + u".png"_s;
    EXPECT_EQ(QImage(saved, "PNG").size(), QSize(1000, 560));
    EXPECT_EQ(text("Oversigt_Status"), u"Billedet er gemt i "_s + saved);
    // The name written, .png added, is the one asked about; a PNG is replaced only after "Ja".
    QImage(1, 1, QImage::Format_RGB32).save(saved, "PNG");
    const QByteArray small = readBytes(saved);
    for (const QString& answer : {u"Nej"_s, u"Ja"_s}) {
        platform.answer(u'@' + inDir("billede") + u'|' + answer);
        press("Gem_Billede");
        EXPECT_EQ(lastDialog(), u"Filen "_s + saved + u" findes allerede. Vil du erstatte den?"_s);
        EXPECT_EQ(readBytes(saved) == small, answer == u"Nej");
    }
    platform.answer(u'@' + file + u"|OK"_s);  // never the registration file, nor a non-picture
    press("Gem_Billede");
    EXPECT_EQ(lastDialog(), u"Billedet gemmes ikke i %1: det er registreringsfilen."_s.arg(file));
    close();
    EXPECT_FALSE(dialog);
    EXPECT_EQ(readBytes(file).count('\n'), 5);  // it changes nothing
    QByteArray months = kHeader;                // six years before the night shift: a long table
    for (QDate day(2020, 1, 1); day.year() < 2026; day = day.addMonths(1)) {
        months += day.toString(u"dd-MM-yyyy").toLatin1() + ";1;08:00;16:00;750;750;0;\r\n";
    }
    writeBytes(file, months + kShortRest.mid(kHeader.size()));
    open();
    EXPECT_EQ(area("Oversigt_Arbejdstid"), kShortRestFinding);
    auto* h = child<QLabel>("Oversigt_Arbejdstid_Overskrift");  // the heading and its rules
    EXPECT_EQ(
        h->text() + u'|' + h->buddy()->objectName() + u'|' + text("Oversigt_Arbejdstid_Regler"),
        u"&Arbejdstidens grænser|Oversigt_Arbejdstid|I virkelig tid: mindst 11 timers "
        u"sammenhængende hvile i de 24 timer før hver gåtid og 35 timer i de 7 døgn før den, "
        u"og højst 48 timer om ugen i gennemsnit over januar–april, maj–august og "
        u"september–december. Overenskomster, rådighedsvagter og undtagelser kender filen ikke."_s);
    auto* table = child<QPlainTextEdit>("Oversigt_Maaneder");
    EXPECT_TRUE(table->focusPolicy() & child<QWidget>("Oversigt_Arbejdstid")->focusPolicy() &
                Qt::TabFocus);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_PageDown);
    EXPECT_GT(table->verticalScrollBar()->value(), 0);
    close();
    // A folder, or a FIFO that would hold the reading (and the window closing the dialog) for ever.
    QFile::remove(file);
#ifdef _WIN32
    ASSERT_TRUE(QDir().mkdir(file));
#else
    ASSERT_EQ(mkfifo(file.toLocal8Bit().constData(), 0600), 0);
#endif
    open();
    EXPECT_TRUE(area("Oversigt_Arbejdstid").startsWith(u"Registreringsfilen kan ikke læses: "_s));
    EXPECT_FALSE(child<QWidget>("Gem_Billede")->isEnabled());
    close();
}

// Each end's month named under it; this week's bar and norm (a Tuesday's) as whole as June's.
TEST(ChartPicture, BothEndsWhole) {
    QPalette palette(Qt::black, Qt::white);  // window text, window
    palette.setColor(QPalette::Highlight, Qt::blue);
    palette.setColor(QPalette::Mid, Qt::green);
    ChartData data{chartStart(dec(8)), dec(8), std::nullopt, {}, {}};
    const auto count = [&](const QDate& monday, QRgb colour) {
        data.weeks = {{monday, 3700, 5}};
        const QImage image = flexChartImage(data, 7.4f, palette);
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        return int(std::count(pixels, pixels + image.width() * image.height(), colour));
    };
    for (const QRgb colour : {qRgb(0, 0, 255), qRgb(0, 255, 0)}) {
        const auto june = count(QDate(2026, 6, 1), colour);
        EXPECT_NEAR(count(dec(7), colour), june, june / 10) << std::hex << colour;
    }
    // Under the lowest frame line (the longest dark run across), some text near either end of it.
    data.weeks.clear();
    const QImage image = flexChartImage(data, 7.4f, palette);
    const auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 160; };
    int bottom = image.height() - 1, left = 0, right = 0;
    for (; right - left < image.width() / 2; --bottom) {
        ASSERT_GT(bottom, 0);
        for (int x = 0, from = 0; x < image.width(); ++x) {
            from = dark(x, bottom) ? from : x + 1;
            std::tie(left, right) =
                x - from > right - left ? std::pair(from, x) : std::pair(left, right);
        }
    }
    const auto textBetween = [&](int from) {  // in the 21 columns from there
        return std::ranges::any_of(std::views::iota(0, 21 * (image.height() - bottom - 3)),
                                   [&](int i) { return dark(from + i % 21, bottom + 3 + i / 21); });
    };
    EXPECT_TRUE(textBetween(left) && textBetween(right - 20)) << left << ".." << right;
}

}  // namespace
}  // namespace horalog::testing
