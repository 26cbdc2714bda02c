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
#include <type_traits>
#include <variant>

#include "app/flex_form.h"
#include "app/value_field.h"

namespace horalog {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 5910 / kTwipsPerPixel;
constexpr int kClientHeight = 2910 / kTwipsPerPixel;
constexpr int kTickMs = 5000;

QFont fontOf(double points, bool bold = false) {
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

using F = Flex_Form;

// What a row of the layout makes. A field names the caption that labels it: the caption gives
// the field its name for a screen reader and, with an access key, hands it the focus.
// The two captions beside the narrow right-hand fields were drawn for a narrower font than the
// desktop's sans-serif: they may be set smaller, down to 7 points, to be read whole.
enum class Fit { AsDrawn, MayShrink };
struct Caption {
    QLabel* F::*label;
    Fit fit = Fit::AsDrawn;
};
struct TextField {
    QLineEdit* F::*field;
    QLabel* F::*caption;
};
struct ValueField {
    QLabel* F::*label;
    QLabel* F::*caption;
};
struct StatusLine {
    QLabel* F::*label;
};
struct Button {
    QPushButton* F::*button;
};
using Widget = std::variant<Caption, TextField, ValueField, StatusLine, Button>;

// The controls as the original laid them out: what each is, its name, its text (a caption's or
// the button's), its tooltip and its rectangle in twips.
struct Control {
    Widget widget;
    const char* name;
    const char* text;
    const char* tooltip;
    int left, top, width, height;
};

void shrinkToFit(QLabel* label) {
    const QString shown = QString(label->text()).remove(QLatin1Char('&'));
    label->setFont(fittingFont(label->font(), shown, label->width(), 7.0));
}

// A figure's field: boxed, right-aligned, with a fixed gap inside the border so that the room for
// a figure is known.
void makeValueField(QLabel* label) {
    label->setTextFormat(Qt::PlainText);  // an "&" shows as itself
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
    label->setIndent(2);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
}

QString accessibleNameOf(const QLabel* caption) {
    return QString(caption->text()).remove(QLatin1Char('&')).remove(QLatin1Char(':'));
}

}  // namespace

void Flex_Form::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(fontOf(8.25));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    // The rows of the original layout, in its order.
    static const Control kControls[] = {
        {Caption{&F::Komme_Label}, "Komme_Label", "&Komme tid:", "", 120, 120, 1935, 255},
        {TextField{&F::Komme_Text, &F::Komme_Label}, "Komme_Text", "",
         "angivelse af komme tidspunkt og visning af allerede registreret komme tidspunkt", 2160,
         60, 975, 405},
        {Caption{&F::Gaa_Label}, "Gaa_Label", "&Gå tid:", "", 120, 600, 1935, 255},
        {TextField{&F::Gaa_Text, &F::Gaa_Label}, "Gaa_Text", "", "angivelse af gå tidspunkt", 2160,
         540, 975, 375},
        {Caption{&F::Idag_Label}, "Idag_Label", "Tid idag:", "", 120, 1080, 1935, 255},
        {ValueField{&F::Idag_CT, &F::Idag_Label}, "Idag_CT", "",
         "tid fra registreret komme tidspunkt til \"Gå tid\" i centitimer", 2160, 1020, 975, 375},
        {Caption{&F::Idag_TM_Label, Fit::MayShrink}, "Idag_TM_Label", "Timer/minutter:", "", 3360,
         1080, 1455, 255},
        {ValueField{&F::Idag_TM, &F::Idag_TM_Label}, "Idag_TM", "",
         "tid fra registreret komme tidspunkt til \"Gå tid\" i timer/minutter", 4920, 1020, 855,
         375},
        {Caption{&F::Periode_Label}, "Periode_Label", "Tid denne periode:", "", 120, 1560, 1935,
         255},
        {ValueField{&F::Periode_CT, &F::Periode_Label}, "Periode_CT", "",
         "total tid i denne periode i centitimer", 2160, 1500, 975, 375},
        {Caption{&F::Periode_Diff_Label, Fit::MayShrink}, "Periode_Diff_Label",
         "+/- for periode:", "", 3360, 1560, 1455, 255},
        {ValueField{&F::Periode_Diff, &F::Periode_Diff_Label}, "Periode_Diff", "",
         "over-/underskud i denne periode", 4920, 1500, 855, 375},
        {Caption{&F::Total_Label}, "Total_Label", "Flex total:", "", 120, 2040, 1935, 255},
        {ValueField{&F::Total_CT, &F::Total_Label}, "Total_CT", "", "total horalog i centitimer",
         2160, 1980, 975, 375},
        {StatusLine{&F::Status_Label}, "Status_Label", "", "diverse status informationer", 120,
         2520, 5655, 255},
        {Button{&F::Registrer_Command}, "Registrer_Command", "&Registrer komme/gå tid",
         "registrerer komme eller gå tidspunkt", 3360, 315, 2415, 375},
    };

    const auto label = [client](const Control& c) {
        return new QLabel(QString::fromUtf8(c.text), client);
    };
    for (const Control& c : kControls) {
        QWidget* w = std::visit(
            [&](const auto& kind) -> QWidget* {
                using Kind = std::decay_t<decltype(kind)>;
                if constexpr (std::is_same_v<Kind, TextField>) {
                    auto* field = new QLineEdit(client);
                    field->setAlignment(Qt::AlignRight);
                    field->setFont(fontOf(9.75));
                    return this->*kind.field = field;
                } else if constexpr (std::is_same_v<Kind, Button>) {
                    auto* button = new QPushButton(QString::fromUtf8(c.text), client);
                    button->setAutoDefault(true);  // Enter on the focused button presses it
                    button->setFont(fontOf(8.25, true));
                    return this->*kind.button = button;
                } else if constexpr (std::is_same_v<Kind, StatusLine>) {
                    QLabel* status = this->*kind.label = label(c);
                    status->setTextFormat(Qt::PlainText);
                    status->setFont(fontOf(8.25));
                    return status;
                } else if constexpr (std::is_same_v<Kind, ValueField>) {
                    QLabel* value = this->*kind.label = label(c);
                    makeValueField(value);
                    value->setFont(fontOf(9.75));
                    return value;
                } else {
                    QLabel* caption = this->*kind.label = label(c);
                    caption->setFont(fontOf(9.75));
                    return caption;
                }
            },
            c.widget);
        w->setObjectName(QLatin1String(c.name));
        w->setToolTip(QString::fromUtf8(c.tooltip));
        w->setGeometry(c.left / kTwipsPerPixel, c.top / kTwipsPerPixel, c.width / kTwipsPerPixel,
                       c.height / kTwipsPerPixel);
    }
    // Once every control stands: the captions' fit, and what each field takes from its caption.
    for (const Control& c : kControls) {
        if (const auto* caption = std::get_if<Caption>(&c.widget);
            caption && caption->fit == Fit::MayShrink) {
            shrinkToFit(this->*caption->label);
        } else if (const auto* field = std::get_if<TextField>(&c.widget)) {
            QLabel* by = this->*field->caption;
            by->setBuddy(this->*field->field);
            (this->*field->field)->setAccessibleName(accessibleNameOf(by));
        } else if (const auto* value = std::get_if<ValueField>(&c.widget)) {
            (this->*value->label)->setAccessibleName(accessibleNameOf(this->*value->caption));
        }
    }
    setTabOrder(Komme_Text, Gaa_Text);
    setTabOrder(Gaa_Text, Registrer_Command);

    Udregn_Timer = new QTimer(this);
    Udregn_Timer->setObjectName(QStringLiteral("Udregn_Timer"));
    Udregn_Timer->setInterval(kTickMs);
}

void Flex_Form::buildMenus() {
    QMenuBar* bar = menuBar();
    Func_Menu = bar->addMenu(QStringLiteral("&Funktioner"));
    Func_Menu->setObjectName(QStringLiteral("Func_Menu"));
    Afspadsering_Menu = Func_Menu->addAction(QStringLiteral("Angiv a&fspadsering"));
    Afspadsering_Menu->setObjectName(QStringLiteral("Afspadsering_Menu"));
    Oversigt_Menu = Func_Menu->addAction(QStringLiteral("O&versigt"));
    Oversigt_Menu->setObjectName(QStringLiteral("Oversigt_Menu"));
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
