#pragma once

#include <QObject>
#include <QString>

namespace brisora {

/// The local channel through which a later start of the program asks the running one to
/// come forward. `name` is a path in the user's runtime folder.
class HandoverChannel : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// Serves `name`, replacing what a killed program left there. False when it cannot.
    virtual bool listen(const QString& name) = 0;
    /// Asks whoever serves `name` to come forward; true when it was reached.
    virtual bool knock(const QString& name) = 0;

signals:
    /// A later start knocked.
    void knocked();
};

} // namespace brisora
