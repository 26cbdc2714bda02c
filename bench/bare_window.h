#pragma once
// A bare Qt window that renews five labels and its caption as the working window does on a
// tick with a day open: what a tick should cost. With a field it also holds a focused, selected
// time field as the departure field is held, whose caret blinks while the window is active.
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTime>
#include <QVBoxLayout>

class BareWindow : public QMainWindow {
public:
    explicit BareWindow(bool withField = false) {
        auto* central = new QWidget(this);
        auto* layout = new QVBoxLayout(central);
        if (withField) {
            field_ = new QLineEdit(central);
            layout->addWidget(field_);
        }
        for (QLabel*& label : labels_) {
            label = new QLabel(central);
            layout->addWidget(label);
        }
        setCentralWidget(central);
        if (field_ != nullptr) {
            field_->setFocus();
        }
    }

    // The texts of a day open for this many minutes.
    void renew(int minute) {
        const QString ct = QStringLiteral("%1 ct ").arg(minute * 5 / 3);
        labels_[0]->setText(QString());
        labels_[1]->setText(ct);
        labels_[2]->setText(
            QStringLiteral("%1:%2 ").arg(minute / 60).arg(minute % 60, 2, 10, QLatin1Char('0')));
        labels_[3]->setText(QStringLiteral("0 ct "));
        labels_[4]->setText(QStringLiteral("0 ct "));
        setWindowTitle(QStringLiteral("Horalogs registrering - ") + ct);
        if (field_ != nullptr) {
            const QString time = QTime(minute / 60 % 24, minute % 60).toString(u"HH:mm");
            if (field_->text() != time) {
                field_->setText(time);
            }
            if (field_->selectedText() != time) {
                field_->selectAll();
            }
        }
    }

private:
    QLabel* labels_[5]{};
    QLineEdit* field_ = nullptr;
};
