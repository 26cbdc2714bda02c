#include "app/overview_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "app/flex_chart.h"
#include "chart/chart_image.h"
#include "journal/limits.h"
#include "journal/overview_messages.h"

namespace horalog {

namespace {

// A file read within this time shows no progress at all.
constexpr int kProgressAfterMs = 200;

QPlainTextEdit* textArea(const char* name, const QString& accessibleName, QWidget* parent) {
    auto* area = new QPlainTextEdit(parent);
    area->setObjectName(QLatin1String(name));
    area->setAccessibleName(accessibleName);
    area->setReadOnly(true);
    area->setLineWrapMode(QPlainTextEdit::NoWrap);
    area->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return area;
}

}  // namespace

Oversigt_Dialog::Oversigt_Dialog(Platform& platform, const QString& filnavn, float arbejdstimer,
                                 const QDate& today, QWidget* parent)
    : QDialog(parent), platform_(platform), filnavn_(filnavn), arbejdstimer_(arbejdstimer) {
    setObjectName(QStringLiteral("Oversigt"));
    setWindowTitle(overviewTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Oversigt_Laeser"));
    progress_->setAccessibleName(readingName());
    progress_->setFormat(readingProgress());
    progress_->hide();
    layout->addWidget(progress_);
    chart_ = new FlexChart(this);
    layout->addWidget(chart_, 3);
    months_ = textArea("Oversigt_Maaneder", monthsName(), this);
    layout->addWidget(months_, 1);
    findings_ = textArea("Oversigt_Arbejdstid", limitsName(), this);
    findings_->setPlainText(readingNote());
    auto* heading = new QLabel(limitsHeading(), this);
    heading->setObjectName(QStringLiteral("Oversigt_Arbejdstid_Overskrift"));
    heading->setBuddy(findings_);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    auto* rules = new QLabel(checkedRules(), this);
    rules->setObjectName(QStringLiteral("Oversigt_Arbejdstid_Regler"));
    rules->setWordWrap(true);
    layout->addWidget(rules);
    layout->addWidget(findings_, 1);
    saved_ = new QLabel(this);
    saved_->setObjectName(QStringLiteral("Oversigt_Status"));
    layout->addWidget(saved_);
    auto* buttons = new QDialogButtonBox(this);
    save_ = buttons->addButton(saveButton(), QDialogButtonBox::ActionRole);
    save_->setObjectName(QStringLiteral("Gem_Billede"));
    save_->setAccessibleName(saveAsImage());
    save_->setEnabled(false);
    QPushButton* close = buttons->addButton(closeButton(), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Luk"));
    close->setAccessibleName(closeName());
    layout->addWidget(buttons);
    resize(880, 760);
    connect(save_, &QPushButton::clicked, this, &Oversigt_Dialog::saveImage);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const QDate from = chartStart(today);
    reader_ = QThread::create([this, filnavn, from, today] {
        read_ = readOverview(
            filnavn, from, today,
            [this](qint64 done, qint64 size) {
                done_ = done;
                size_ = size;
            },
            &stop_);
    });
    connect(reader_, &QThread::finished, this, &Oversigt_Dialog::showRead);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &Oversigt_Dialog::showProgress);
    QTimer::singleShot(kProgressAfterMs, progressTimer_, [this] {
        if (reader_->isRunning()) {
            progress_->show();
            progressTimer_->start();
        }
    });
    reader_->start();
}

Oversigt_Dialog::~Oversigt_Dialog() {
    stop_ = true;
    reader_->wait();
    delete reader_;
}

void Oversigt_Dialog::showProgress() {
    const qint64 size = std::max<qint64>(size_, 1);
    progress_->setValue(static_cast<int>(done_ * 100 / size));
}

void Oversigt_Dialog::showRead() {
    progressTimer_->stop();
    progress_->hide();
    if (!read_.ok()) {
        findings_->setPlainText(unreadableOverview(read_.error().text));
        return;
    }
    chart_->setData(read_->chart, arbejdstimer_);
    const QString skipped = unreadableNote(read_->months.unreadable());
    months_->setPlainText(read_->months.table() +
                          (skipped.isEmpty() ? QString() : u'\n' + skipped));
    QStringList lines = read_->findings;
    if (lines.isEmpty()) {
        lines << noFindings();
    }
    findings_->setPlainText(lines.join(QLatin1Char('\n')));
    save_->setEnabled(true);
}

void Oversigt_Dialog::saveImage() {
    FileDialogRequest request;
    request.title = saveAsImage();
    request.folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    request.fileName = imageFileName();
    request.filters = {imageFilter()};
    std::optional<QString> path = platform_.chooseFile(this, request);
    if (!path) {
        return;
    }
    if (QFileInfo(*path).suffix().isEmpty()) {
        *path += QStringLiteral(".png");
    }
    // The name written, .png and all, is the one checked and asked about.
    if (const auto refused = chartTargetRefusal(*path, keptFiles(filnavn_))) {
        platform_.tell(this, chartRefusedNotice(*refused));
        return;
    }
    if (QFileInfo::exists(*path)) {
        if (platform_.ask(this, replaceImageQuestion(*path)) != MessageAnswer::Yes) {
            return;
        }
    }
    if (!saveChartImage(flexChartImage(read_->chart, arbejdstimer_, palette()), *path)) {
        platform_.tell(this, chartNotSavedNotice(*path));
        return;
    }
    saved_->setText(chartSaved(*path));
}

}  // namespace horalog
