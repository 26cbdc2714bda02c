#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace horalog {

// One running copy per user: two copies would each append with the figures they read at their
// own start, and the second would silently drop the first one's days from the balance.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // folder: where the lock and the socket name live (the user's runtime folder).
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy. Otherwise the running copy has been asked to come to
    // the front, and this one should end.
    bool claim();

Q_SIGNALS:
    void anotherStartWanted();

private:
    QString serverName() const;

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace horalog
