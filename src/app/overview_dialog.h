#pragma once

#include <QDate>
#include <QDialog>
#include <atomic>
#include <memory>

#include "journal/overview.h"
#include "platform/platform.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace horalog {

class FlexChart;

// "Oversigt": the registration file as a picture, its months and the working-time limits it
// passes, read on a thread of its own so that the window's clock goes on. It changes nothing.
class Oversigt_Dialog : public QDialog {
    Q_OBJECT

public:
    Oversigt_Dialog(Platform& platform, const QString& filnavn, float arbejdstimer,
                    const QDate& today, QWidget* parent);
    ~Oversigt_Dialog() override;

private:
    void showRead();
    void showProgress();
    void saveImage();

    Platform& platform_;
    QString filnavn_;
    float arbejdstimer_;
    FileResult<Overview> read_ = FileResult<Overview>::failed({});  // until the reader is through
    std::atomic<bool> stop_{false};
    std::atomic<qint64> done_{0};
    std::atomic<qint64> size_{0};
    QThread* reader_ = nullptr;
    QTimer* progressTimer_ = nullptr;

    QProgressBar* progress_ = nullptr;
    FlexChart* chart_ = nullptr;
    QPlainTextEdit* months_ = nullptr;
    QPlainTextEdit* findings_ = nullptr;
    QLabel* saved_ = nullptr;
    QPushButton* save_ = nullptr;
};

}  // namespace horalog
