#include "app/flex_form.h"

#include <QAction>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/app_icon.h"
#include "app/tray_data.h"
#include "registry/registry_error.h"
#include "text/time_text.h"

namespace horalog {

Flex_Form::Flex_Form(Platform& platform, RegistryFactory makeRegistry, QWidget* parent)
    : QMainWindow(parent), platform_(platform), makeRegistry_(std::move(makeRegistry)) {
    setObjectName(QStringLiteral("Flex_Form"));
    setWindowTitle(QStringLiteral("Horalogs registrering"));
    setWindowIcon(appIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    Tray = new Tray_Data(
        platform_, [this] { run(&Flex_Form::Tray_Click); }, this);
    buildControls();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    wireEvents();
}

Flex_Form::~Flex_Form() = default;

void Flex_Form::run(void (Flex_Form::*handler)()) {
    try {
        (this->*handler)();
    } catch (const RegistryError& e) {
        // The heading names the error number as Windows shows it: in decimal, then in hex.
        const auto number = RegistryError::kNumber;
        unhandledError(QStringLiteral("Run-time error '%1 (%2)':")
                           .arg(number)
                           .arg(QString::number(static_cast<std::uint32_t>(number), 16).toUpper()),
                       QString::fromLocal8Bit(e.description().c_str()));
    } catch (const std::exception& e) {
        unhandledError(QStringLiteral("Run-time error:"), QString::fromLocal8Bit(e.what()));
    }
}

void Flex_Form::wireEvents() {
    for (QObject* o : {static_cast<QObject*>(Komme_Text), static_cast<QObject*>(Gaa_Text),
                       static_cast<QObject*>(Registrer_Command), static_cast<QObject*>(this)}) {
        o->installEventFilter(this);
    }
    connect(Gaa_Text, &QLineEdit::textChanged, this, [this] { run(&Flex_Form::Gaa_Text_Change); });
    connect(Registrer_Command, &QPushButton::clicked, this,
            [this] { run(&Flex_Form::Registrer_Command_Click); });
    connect(Udregn_Timer, &QTimer::timeout, this, [this] { run(&Flex_Form::Udregn_Timer_Timer); });
    const std::pair<QAction*, void (Flex_Form::*)()> menus[] = {
        {Afspadsering_Menu, &Flex_Form::Afspadsering_Menu_Click},
        {Oversigt_Menu, &Flex_Form::Oversigt_Menu_Click},
        {Nulstil_Menu, &Flex_Form::Nulstil_Menu_Click},
        {Om_Menu, &Flex_Form::Om_Menu_Click},
        {Afslut_Menu, &Flex_Form::Afslut_Menu_Click},
        {Arbejds_Menu, &Flex_Form::Arbejds_Menu_Click},
        {Filnavn_Menu, &Flex_Form::Filnavn_Menu_Click},
    };
    for (const auto& [action, handler] : menus) {
        connect(action, &QAction::triggered, this, [this, h = handler] { run(h); });
    }
    // The handler itself turns the check mark, so undo Qt's own toggle first.
    connect(Frokost_Menu, &QAction::triggered, this, [this](bool checked) {
        Frokost_Menu->setChecked(!checked);
        run(&Flex_Form::Frokost_Menu_Click);
    });
}

bool Flex_Form::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            Form_KeyDown(*static_cast<QKeyEvent*>(event));
            break;
        case QEvent::FocusIn:
            if (watched == Komme_Text) {
                run(&Flex_Form::Komme_Text_GotFocus);
            } else if (watched == Gaa_Text) {
                run(&Flex_Form::Gaa_Text_GotFocus);
            }
            break;
        case QEvent::FocusOut: {
            // Only a move to another control counts; a dialog or a menu taking the keyboard
            // for a moment does not.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (watched == Gaa_Text && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason) {
                run(&Flex_Form::Gaa_Text_LostFocus);
            }
            break;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

CRegistry& Flex_Form::reg() {
    if (!Reg) {
        Reg = makeRegistry_();
    }
    return *Reg;
}

void Flex_Form::writeSetting(Setting setting, const QString& value) {
    store().write(setting, value);
    if (setting == Setting::Moedt) {
        day_.storedAs(StoredArrival(value));
    }
}

// A value written by a command: a store that cannot be written is told, and nothing changes.
bool Flex_Form::storeSetting(Setting setting, const QString& value) {
    const StoreWrite stored = trySetting(setting, value);
    if (!stored.ok()) {
        refuse(stored.error().told);
    }
    return stored.ok();
}

StoreWrite Flex_Form::trySetting(Setting setting, const QString& value) {
    StoreWrite stored = store().tryWrite(setting, value);
    if (stored.ok() && setting == Setting::Moedt) {
        day_.storedAs(StoredArrival(value));
    }
    return stored;
}

QString Flex_Form::dateTimeText() {
    const QDateTime now = platform_.currentDateTime();
    return horalog::dateTimeText(now.date(), platform_.shortDatePattern(),
                                 platform_.timeWithSeconds(now.time()));
}

QString Flex_Form::currentDateText() {
    return dateTimeText().left(Dato_Laengde);
}

QString Flex_Form::nowText() {
    return Tid_Nu(platform_.timeWithSeconds(platform_.currentDateTime().time()));
}

LunchRule Flex_Form::lunch() const {
    return {Frokost_Aktiv, FrokostVarighed, FrokostArbejdstid};
}

// The background is the program's own, so is the text's colour: a dark theme's light text was
// all but unreadable on it.
void Flex_Form::setKommeColour(bool registered) {
    QPalette palette = Komme_Text->palette();
    palette.setColor(QPalette::Base, registered ? QColor(0, 255, 0) : QColor(255, 255, 255));
    palette.setColor(QPalette::Text, QColor(0, 0, 0));
    Komme_Text->setPalette(palette);
}

}  // namespace horalog
