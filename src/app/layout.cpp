// The controls and menus of the window, placed as the original laid them out in twips.
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "app/flex_form.h"

namespace horalog {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 5910 / kTwipsPerPixel;
constexpr int kClientHeight = 2910 / kTwipsPerPixel;

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                   height / kTwipsPerPixel);
    // The desktop's sans-serif runs wider than the narrow font the layout was drawn for: a
    // caption that would be cut is set a little smaller instead.
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->text().isEmpty()) {
        QFont font = label->font();
        while (font.pointSizeF() > 7.0 && QFontMetrics(font).horizontalAdvance(label->text().remove(
                                              QLatin1Char('&'))) > label->width()) {
            font.setPointSizeF(font.pointSizeF() - 0.25);
        }
        label->setFont(font);
    }
}

QFont fontOf(double points, bool bold = false) {
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

template <typename W>
W* make(QWidget* parent, const char* name, const QString& text, const QString& tip = QString()) {
    auto* w = new W(text, parent);
    w->setObjectName(QLatin1String(name));
    w->setFont(fontOf(9.75));
    if (!tip.isEmpty()) {
        w->setToolTip(tip);
    }
    return w;
}

QLabel* valueField(QWidget* parent, const char* name, const QString& tip) {
    QLabel* label = make<QLabel>(parent, name, QString(), tip);
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
    label->setIndent(2);  // a fixed gap inside the border, so the room for a figure is known
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    return label;
}

QLineEdit* textField(QWidget* parent, const char* name, const QString& tip) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setFont(fontOf(9.75));
    field->setToolTip(tip);
    field->setAlignment(Qt::AlignRight);
    return field;
}

}  // namespace

void Flex_Form::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(fontOf(8.25));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    Komme_Label = make<QLabel>(client, "Komme_Label", QStringLiteral("&Komme tid:"));
    place(Komme_Label, 120, 120, 1935, 255);
    Komme_Text = textField(client, "Komme_Text",
                           QStringLiteral("angivelse af komme tidspunkt og visning af allerede "
                                          "registreret komme tidspunkt"));
    place(Komme_Text, 2160, 60, 975, 405);
    Komme_Label->setBuddy(Komme_Text);

    Gaa_Label = make<QLabel>(client, "Gaa_Label", QStringLiteral("&Gå tid:"));
    place(Gaa_Label, 120, 600, 1935, 255);
    Gaa_Text = textField(client, "Gaa_Text", QStringLiteral("angivelse af gå tidspunkt"));
    place(Gaa_Text, 2160, 540, 975, 375);
    Gaa_Label->setBuddy(Gaa_Text);

    Idag_Label = make<QLabel>(client, "Idag_Label", QStringLiteral("Tid idag:"));
    place(Idag_Label, 120, 1080, 1935, 255);
    Idag_CT = valueField(
        client, "Idag_CT",
        QStringLiteral("tid fra registreret komme tidspunkt til \"Gå tid\" i centitimer"));
    place(Idag_CT, 2160, 1020, 975, 375);
    Idag_TM_Label = make<QLabel>(client, "Idag_TM_Label", QStringLiteral("Timer/minutter:"));
    place(Idag_TM_Label, 3360, 1080, 1455, 255);
    Idag_TM = valueField(
        client, "Idag_TM",
        QStringLiteral("tid fra registreret komme tidspunkt til \"Gå tid\" i timer/minutter"));
    place(Idag_TM, 4920, 1020, 855, 375);

    Periode_Label = make<QLabel>(client, "Periode_Label", QStringLiteral("Tid denne periode:"));
    place(Periode_Label, 120, 1560, 1935, 255);
    Periode_CT =
        valueField(client, "Periode_CT", QStringLiteral("total tid i denne periode i centitimer"));
    place(Periode_CT, 2160, 1500, 975, 375);
    Periode_Diff_Label =
        make<QLabel>(client, "Periode_Diff_Label", QStringLiteral("+/- for periode:"));
    place(Periode_Diff_Label, 3360, 1560, 1455, 255);
    Periode_Diff =
        valueField(client, "Periode_Diff", QStringLiteral("over-/underskud i denne periode"));
    place(Periode_Diff, 4920, 1500, 855, 375);

    Total_Label = make<QLabel>(client, "Total_Label", QStringLiteral("Flex total:"));
    place(Total_Label, 120, 2040, 1935, 255);
    Total_CT = valueField(client, "Total_CT", QStringLiteral("total horalog i centitimer"));
    place(Total_CT, 2160, 1980, 975, 375);

    Status_Label = new QLabel(client);
    Status_Label->setObjectName(QStringLiteral("Status_Label"));
    Status_Label->setTextFormat(Qt::PlainText);  // an "&" shows as itself
    Status_Label->setToolTip(QStringLiteral("diverse status informationer"));
    Status_Label->setFont(fontOf(8.25));
    place(Status_Label, 120, 2520, 5655, 255);

    Registrer_Command = new QPushButton(QStringLiteral("&Registrer komme/gå tid"), client);
    Registrer_Command->setObjectName(QStringLiteral("Registrer_Command"));
    Registrer_Command->setFont(fontOf(8.25, true));
    Registrer_Command->setToolTip(QStringLiteral("registrerer komme eller gå tidspunkt"));
    Registrer_Command->setAutoDefault(true);  // Enter on the focused button presses it
    place(Registrer_Command, 3360, 315, 2415, 375);

    setTabOrder(Komme_Text, Gaa_Text);
    setTabOrder(Gaa_Text, Registrer_Command);

    Udregn_Timer = new QTimer(this);
    Udregn_Timer->setObjectName(QStringLiteral("Udregn_Timer"));
    Udregn_Timer->setInterval(5000);
}

void Flex_Form::buildMenus() {
    QMenuBar* bar = menuBar();
    Func_Menu = bar->addMenu(QStringLiteral("&Funktioner"));
    Func_Menu->setObjectName(QStringLiteral("Func_Menu"));
    Afspadsering_Menu = Func_Menu->addAction(QStringLiteral("Angiv a&fspadsering"));
    Afspadsering_Menu->setObjectName(QStringLiteral("Afspadsering_Menu"));
    Nulstil_Menu = Func_Menu->addAction(QStringLiteral("&Nulstil flex periode"));
    Nulstil_Menu->setObjectName(QStringLiteral("Nulstil_Menu"));
    Func_Menu->addSeparator()->setObjectName(QStringLiteral("Space_1"));
    Om_Menu = Func_Menu->addAction(QStringLiteral("&Om Horalog"));
    Om_Menu->setObjectName(QStringLiteral("Om_Menu"));
    Func_Menu->addSeparator()->setObjectName(QStringLiteral("Space_2"));
    Afslut_Menu = Func_Menu->addAction(QStringLiteral("&Afslut"));
    Afslut_Menu->setObjectName(QStringLiteral("Afslut_Menu"));

    Opsaet_Menu = bar->addMenu(QStringLiteral("&Opsætninger"));
    Opsaet_Menu->setObjectName(QStringLiteral("Opsaet_Menu"));
    Arbejds_Menu = Opsaet_Menu->addAction(QStringLiteral("&Arbejdstid"));
    Arbejds_Menu->setObjectName(QStringLiteral("Arbejds_Menu"));
    Frokost_Menu = Opsaet_Menu->addAction(QStringLiteral("&Medregn frokost efter 4 timer"));
    Frokost_Menu->setObjectName(QStringLiteral("Frokost_Menu"));
    Frokost_Menu->setCheckable(true);
    Frokost_Menu->setChecked(true);
    Filnavn_Menu = Opsaet_Menu->addAction(QStringLiteral("&Filnavn"));
    Filnavn_Menu->setObjectName(QStringLiteral("Filnavn_Menu"));
}

}  // namespace horalog
