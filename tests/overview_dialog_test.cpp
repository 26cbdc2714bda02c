// "Oversigt" as a user opens it: through the menu, over the real file, its picture saved where the
// file dialog says.
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

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
    QDialog* openOverview() {
        menu(QStringLiteral("O&versigt"));
        auto* dialog = form().findChild<QDialog*>(QStringLiteral("Oversigt"));
        for (int waited = 0;
             area(dialog, "Oversigt_Arbejdstid").startsWith(u"Læser") && waited < 5000;
             waited += 10) {
            QTest::qWait(10);
        }
        return dialog;
    }
    QString area(QDialog* dialog, const char* name) {
        return dialog->findChild<QPlainTextEdit*>(QLatin1String(name))->toPlainText();
    }
};

TEST_F(OverviewTest, OpenedFromTheMenu) {
    platform.now = QDateTime(QDate(2026, 12, 8), QTime(10, 0));
    // Lines 3 and 4 cannot be read (empty fields, a NUL in a figure): no working days, named.
    startExistingUser(kHeader + "01-12-2026;1;08:00;16:00;750;750;10;\r\n02-12-2026;44;;;;;;\r\n" +
                      QByteArray("03-12-2026;2;08:00;16:00;750;1500;2\x00"
                                 "0;\r\n",
                                 40) +
                      "07-12-2026;2;08:00;17:00;850;1600;120;\r\n");
    QStringList entries;
    for (const QAction* a : child<QMenu>("Func_Menu")->actions()) {
        entries << a->text();
    }
    EXPECT_EQ(entries.join(u'|'), QStringLiteral("Angiv a&fspadsering|O&versigt|&Nulstil flex "
                                                 "periode||&Om Horalog||&Afslut"));
    QPointer<QDialog> dialog = openOverview();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Oversigt"));
    EXPECT_EQ(area(dialog, "Oversigt_Maaneder"),
              QStringLiteral("Måned        Arbejdsdage      Arbejdstid    Afspadsering   "
                             "Nulstillinger            Flex\n"
                             "2026-12                2         1600 ct            0 ct          "
                             "     0          120 ct\n\n2 linjer i registreringsfilen kunne ikke "
                             "læses (første: linje 3)."));
    QTest::keyClicks(dialog->findChild<QWidget*>(QStringLiteral("Oversigt_Arbejdstid")),
                     QStringLiteral("x"));  // a key there changes nothing
    EXPECT_EQ(area(dialog, "Oversigt_Arbejdstid"), QStringLiteral("Ingen overskridelser."));
    EXPECT_EQ(dialog->findChild<QWidget*>(QStringLiteral("Oversigt_Chart"))->accessibleName(),
              QStringLiteral("Flex-saldo dag for dag og arbejdstid pr. uge"));

    platform.answer(u'@' + inDir("billede"));
    dialog->findChild<QPushButton*>(QStringLiteral("Gem_Billede"))->click();
    EXPECT_EQ(platform.shown.back().title + u'|' + platform.shown.back().file.filters.join(u';'),
              QStringLiteral("Gem som billede|PNG-billede (*.png)"));
    const QString saved = inDir("billede") + QStringLiteral(".png");
    EXPECT_EQ(QImage(saved, "PNG").size(), QSize(1000, 560));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Oversigt_Status"))->text(),
              QStringLiteral("Billedet er gemt i ") + saved);

    // The name written, .png added, is the one asked about; a PNG is replaced only after "Ja".
    QImage(1, 1, QImage::Format_RGB32).save(saved, "PNG");
    const QByteArray small = readBytes(saved);
    for (const char* answer : {"Nej", "Ja"}) {
        platform.answer(u'@' + inDir("billede") + u'|' + QLatin1String(answer));
        dialog->findChild<QPushButton*>(QStringLiteral("Gem_Billede"))->click();
        EXPECT_EQ(
            platform.shown.back().text + u'|' + QChar(readBytes(saved) == small ? u'1' : u'0'),
            QStringLiteral("Filen ") + saved +
                QStringLiteral(" findes allerede. Vil du erstatte den?|") +
                QChar(answer[0] == 'N' ? u'1' : u'0'));
    }
    // Never the registration file, nor a file that is no picture.
    platform.answer(u'@' + file + QStringLiteral("|OK"));
    dialog->findChild<QPushButton*>(QStringLiteral("Gem_Billede"))->click();
    EXPECT_EQ(platform.shown.back().text, QStringLiteral("Billedet gemmes ikke i ") + file +
                                              QStringLiteral(": det er registreringsfilen."));
    EXPECT_TRUE(platform.allAnswered());

    dialog->findChild<QPushButton*>(QStringLiteral("Luk"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
    EXPECT_EQ(readBytes(file).count('\n'), 5);  // it changes nothing
}

// The findings under their heading, as --check gives them; the month table and the findings
// scroll from the keyboard.
TEST_F(OverviewTest, FindingsAsTheCheckGivesThem) {
    platform.now = QDateTime(QDate(2026, 12, 10), QTime(10, 0));
    QByteArray months = kHeader;  // six years before the night shift: a long table
    for (int year = 2020; year <= 2025; ++year) {
        for (int month = 1; month <= 12; ++month) {
            months += QStringLiteral("01-%1-%2;1;08:00;16:00;750;750;0;\r\n")
                          .arg(month, 2, 10, QLatin1Char('0'))
                          .arg(year)
                          .toLatin1();
        }
    }
    startExistingUser(months + kShortRest.mid(kHeader.size()));
    QDialog* dialog = openOverview();
    EXPECT_EQ(area(dialog, "Oversigt_Arbejdstid"), kShortRestFinding);
    auto* heading = dialog->findChild<QLabel*>(QStringLiteral("Oversigt_Arbejdstid_Overskrift"));
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->text() + u'|' + heading->buddy()->objectName(),
              QStringLiteral("&Arbejdstidens grænser|Oversigt_Arbejdstid"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Oversigt_Arbejdstid_Regler"))->text(),
              QStringLiteral("I virkelig tid: mindst 11 timers sammenhængende hvile i de 24 timer "
                             "før hver gåtid og 35 timer i de 7 døgn før den, og højst 48 timer om "
                             "ugen i gennemsnit over januar–april, maj–august og "
                             "september–december. Overenskomster, rådighedsvagter og undtagelser "
                             "kender filen ikke."));
    auto* table = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Oversigt_Maaneder"));
    EXPECT_TRUE(table->focusPolicy() & Qt::TabFocus);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_PageDown);
    EXPECT_GT(table->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(dialog->findChild<QWidget*>(QStringLiteral("Oversigt_Arbejdstid"))->focusPolicy() &
                Qt::TabFocus);
    dialog->findChild<QPushButton*>(QStringLiteral("Luk"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A folder, or a FIFO that would hold the reading (and the window closing the dialog) for ever.
TEST_F(OverviewTest, AFileThatCannotBeReadIsSaid) {
    startExistingUser(kThreeDays);
    QFile::remove(file);
#ifdef _WIN32
    ASSERT_TRUE(QDir().mkdir(file));
#else
    ASSERT_EQ(mkfifo(file.toLocal8Bit().constData(), 0600), 0);
#endif
    QDialog* dialog = openOverview();
    EXPECT_TRUE(area(dialog, "Oversigt_Arbejdstid")
                    .startsWith(QStringLiteral("Registreringsfilen kan ikke læses: ")));
    EXPECT_FALSE(dialog->findChild<QPushButton*>(QStringLiteral("Gem_Billede"))->isEnabled());
    dialog->findChild<QPushButton*>(QStringLiteral("Luk"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The picture's ends: the month each end lies in is named under it, and this week's bar and norm
// (a Tuesday's: two days of it) are drawn as whole as a week's in June.
TEST(ChartPicture, BothEndsWhole) {
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Highlight, Qt::blue);
    palette.setColor(QPalette::Mid, Qt::green);
    const QDate today(2026, 12, 8);
    ChartData data{chartStart(today), today, std::nullopt, {}, {}};
    const auto count = [&](const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                n += image.pixel(x, y) == colour;
            }
        }
        return n;
    };
    const QDate mondays[] = {QDate(2026, 6, 1), QDate(2026, 12, 7)};
    QImage week[2];
    for (int i = 0; i < 2; ++i) {
        data.weeks = {{mondays[i], 3700, 5}};
        week[i] = flexChartImage(data, 7.4f, palette);
    }
    for (const QRgb colour : {qRgb(0, 0, 255), qRgb(0, 255, 0)}) {
        const int june = count(week[0], colour);
        EXPECT_NEAR(count(week[1], colour), june, june / 10) << std::hex << colour;
    }

    // Under the lowest frame line (the longest dark run across), some text near either end of it.
    data.weeks.clear();
    const QImage image = flexChartImage(data, 7.4f, palette);
    const auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 160; };
    int bottom = image.height() - 1;
    int left = 0;
    int right = 0;
    for (; right - left < image.width() / 2; --bottom) {
        ASSERT_GT(bottom, 0);
        for (int x = 0, from = 0; x < image.width(); ++x) {
            from = dark(x, bottom) ? from : x + 1;
            if (x - from > right - left) {
                left = from;
                right = x;
            }
        }
    }
    ++bottom;
    const auto textBetween = [&](int from, int to) {
        for (int y = bottom + 2; y < image.height(); ++y) {
            for (int x = from; x <= to; ++x) {
                if (dark(x, y)) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(textBetween(left, left + 20));
    EXPECT_TRUE(textBetween(right - 20, right));
}

}  // namespace
}  // namespace horalog::testing
