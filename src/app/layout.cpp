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

enum class Kind { Caption, TextField, ValueField, Status, Button };

// The controls as the original laid them out: name, kind, caption, tooltip, twips rectangle.
// The rows stand in tab order.
struct Control {
    QLabel* Flex_Form::*label;
    QLineEdit* Flex_Form::*field;
    QPushButton* Flex_Form::*button;
    const char* name;
    Kind kind;
    const char* caption;
    const char* tooltip;
    int left, top, width, height;
};

QFont controlFont(Kind kind) {
    switch (kind) {
        case Kind::Status:
            return fontOf(8.25);
        case Kind::Button:
            return fontOf(8.25, true);
        default:
            return fontOf(9.75);
    }
}

}  // namespace

void Flex_Form::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(fontOf(8.25));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    using F = Flex_Form;
    const Control controls[] = {
        {&F::Komme_Label, nullptr, nullptr, "Komme_Label", Kind::Caption, "&Komme tid:", "", 120,
         120, 1935, 255},
        {nullptr, &F::Komme_Text, nullptr, "Komme_Text", Kind::TextField, "",
         "angivelse af komme tidspunkt og visning af allerede registreret komme tidspunkt", 2160,
         60, 975, 405},
        {&F::Gaa_Label, nullptr, nullptr, "Gaa_Label", Kind::Caption, "&Gå tid:", "", 120, 600,
         1935, 255},
        {nullptr, &F::Gaa_Text, nullptr, "Gaa_Text", Kind::TextField, "",
         "angivelse af gå tidspunkt", 2160, 540, 975, 375},
        {&F::Idag_Label, nullptr, nullptr, "Idag_Label", Kind::Caption, "Tid idag:", "", 120, 1080,
         1935, 255},
        {&F::Idag_CT, nullptr, nullptr, "Idag_CT", Kind::ValueField, "",
         "tid fra registreret komme tidspunkt til \"Gå tid\" i centitimer", 2160, 1020, 975, 375},
        {&F::Idag_TM_Label, nullptr, nullptr, "Idag_TM_Label", Kind::Caption, "Timer/minutter:", "",
         3360, 1080, 1455, 255},
        {&F::Idag_TM, nullptr, nullptr, "Idag_TM", Kind::ValueField, "",
         "tid fra registreret komme tidspunkt til \"Gå tid\" i timer/minutter", 4920, 1020, 855,
         375},
        {&F::Periode_Label, nullptr, nullptr, "Periode_Label", Kind::Caption,
         "Tid denne periode:", "", 120, 1560, 1935, 255},
        {&F::Periode_CT, nullptr, nullptr, "Periode_CT", Kind::ValueField, "",
         "total tid i denne periode i centitimer", 2160, 1500, 975, 375},
        {&F::Periode_Diff_Label, nullptr, nullptr, "Periode_Diff_Label", Kind::Caption,
         "+/- for periode:", "", 3360, 1560, 1455, 255},
        {&F::Periode_Diff, nullptr, nullptr, "Periode_Diff", Kind::ValueField, "",
         "over-/underskud i denne periode", 4920, 1500, 855, 375},
        {&F::Total_Label, nullptr, nullptr, "Total_Label", Kind::Caption, "Flex total:", "", 120,
         2040, 1935, 255},
        {&F::Total_CT, nullptr, nullptr, "Total_CT", Kind::ValueField, "",
         "total horalog i centitimer", 2160, 1980, 975, 375},
        {&F::Status_Label, nullptr, nullptr, "Status_Label", Kind::Status, "",
         "diverse status informationer", 120, 2520, 5655, 255},
        {nullptr, nullptr, &F::Registrer_Command, "Registrer_Command", Kind::Button,
         "&Registrer komme/gå tid", "registrerer komme eller gå tidspunkt", 3360, 315, 2415, 375},
    };

    QWidget* previousFocus = nullptr;
    QLabel* pendingBuddy = nullptr;
    QString lastCaption;
    for (const Control& c : controls) {
        QWidget* w = nullptr;
        const QString caption = QString::fromUtf8(c.caption);
        if (c.field != nullptr) {
            auto* field = new QLineEdit(client);
            field->setAlignment(Qt::AlignRight);
            this->*c.field = field;
            w = field;
        } else if (c.button != nullptr) {
            auto* button = new QPushButton(caption, client);
            button->setAutoDefault(true);  // Enter on the focused button presses it
            this->*c.button = button;
            w = button;
        } else {
            auto* label = new QLabel(caption, client);
            if (c.kind != Kind::Caption) {
                label->setTextFormat(Qt::PlainText);  // an "&" shows as itself
            }
            if (c.kind == Kind::ValueField) {
                label->setFrameShape(QFrame::Box);
                label->setLineWidth(1);
                label->setIndent(2);  // a fixed gap inside the border, so a figure's room is known
                label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                label->setAutoFillBackground(true);
            }
            this->*c.label = label;
            w = label;
        }
        w->setObjectName(QLatin1String(c.name));
        w->setFont(controlFont(c.kind));
        w->setToolTip(QString::fromUtf8(c.tooltip));
        place(w, c.left, c.top, c.width, c.height);
        // A caption with an access key hands the focus to the field after it, and every field
        // is named by its caption for a screen reader ("Flex total", not just "125 ct").
        if (pendingBuddy != nullptr && c.field != nullptr) {
            pendingBuddy->setBuddy(w);
        }
        if (c.field != nullptr || c.kind == Kind::ValueField) {
            w->setAccessibleName(lastCaption);
        }
        if (c.kind == Kind::Caption) {
            lastCaption = caption;
            lastCaption.remove(QLatin1Char('&')).remove(QLatin1Char(':'));
        }
        pendingBuddy = c.kind == Kind::Caption && caption.contains(QLatin1Char('&'))
                           ? qobject_cast<QLabel*>(w)
                           : nullptr;
        if (c.field != nullptr || c.button != nullptr) {
            if (previousFocus != nullptr) {
                setTabOrder(previousFocus, w);
            }
            previousFocus = w;
        }
    }

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
