#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace kav {

// Keeps one copy of the program running: the first copy holds a lock file and listens on a
// local socket; a later copy finds the lock taken and asks the first to come forward.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy; it then listens for later copies.
    bool acquire();
    // From a later copy: asks the first copy to raise its window. True when it was asked.
    bool askFirstToRaise() const;

signals:
    void raiseRequested();

private:
    QString name_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace kav
